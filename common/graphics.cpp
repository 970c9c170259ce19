#include "common/graphics.h"

#include "platform/utf16.h"

#include <iterator>

namespace {

constexpr std::wstring_view pciPrefix = L"PCI\\";
constexpr std::wstring_view vendorKey = L"VEN_";
constexpr std::wstring_view deviceKey = L"&DEV_";
constexpr std::size_t idDigits = 4;
constexpr std::size_t dateDigits = 8;
constexpr uint32_t versionPartBits = 16;
constexpr uint32_t versionParts = 4;
constexpr uint64_t versionPartMask = 0xFFFF;

struct VendorRow {
    uint16_t vendor;
    GpuMaker maker;
};

constexpr VendorRow vendorRows[] = {
    {0x10DE, GpuMaker::Nvidia},    {0x1002, GpuMaker::Amd},        {0x1022, GpuMaker::Amd},
    {0x8086, GpuMaker::Intel},     {0x1414, GpuMaker::Microsoft},  {0x15AD, GpuMaker::Vmware},
    {0x80EE, GpuMaker::VirtualBox}, {0x1AB8, GpuMaker::Parallels}, {0x1AF4, GpuMaker::RedHat},
    {0x1B36, GpuMaker::RedHat},    {0x1234, GpuMaker::Qemu},       {0x5143, GpuMaker::Qualcomm},
    {0x102B, GpuMaker::Matrox},    {0x1A03, GpuMaker::Aspeed},
};

// By GpuMaker.
const wchar_t* const makerNames[] = {
    L"",          L"NVIDIA",    L"AMD",     L"Intel",    L"Microsoft", L"VMware", L"VirtualBox",
    L"Parallels", L"Red Hat",   L"QEMU",    L"Qualcomm", L"Matrox",    L"ASPEED",
};
static_assert(std::size(makerNames) == static_cast<std::size_t>(GpuMaker::Aspeed) + 1,
              "a name for each maker");

// Windows' own adapters: the basic render driver (WARP, what Direct3D gets
// where the card has no driver) and Hyper-V's video.
constexpr uint16_t basicRenderDevice = 0x008C;
constexpr uint16_t hyperVVideoDevice = 0x5353;

// Words in a description that tell what draws, compared without case.
constexpr const wchar_t* basicDriverWords[] = {L"basic render", L"basic display", L"基本呈现",
                                               L"基本显示"};
constexpr const wchar_t* softwareWords[] = {L"llvmpipe", L"softpipe", L"swiftshader", L"lavapipe",
                                            L"software rasterizer", L"software renderer"};
constexpr const wchar_t* virtualMachineWords[] = {L"vmware", L"virtualbox", L"parallels",
                                                  L"hyper-v", L"qxl", L"virtio"};

constexpr std::wstring_view okStatus = L"OK";

wchar_t Lower(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// Needle in lower case.
bool ContainsWord(std::wstring_view text, std::wstring_view needle) {
    if (needle.size() > text.size()) return false;
    for (std::size_t at = 0; at + needle.size() <= text.size(); ++at) {
        std::size_t i = 0;
        while (i < needle.size() && Lower(text[at + i]) == needle[i]) ++i;
        if (i == needle.size()) return true;
    }
    return false;
}

template <std::size_t count>
bool ContainsAny(std::wstring_view text, const wchar_t* const (&words)[count]) {
    for (const wchar_t* word : words) {
        if (ContainsWord(text, word)) return true;
    }
    return false;
}

bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (Lower(text[i]) != Lower(prefix[i])) return false;
    }
    return true;
}

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    c = Lower(c);
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return -1;
}

// Exactly four hex digits at the start of text, consumed.
bool TakeId(std::wstring_view& text, uint16_t& id) {
    if (text.size() < idDigits) return false;
    uint32_t value = 0;
    for (std::size_t i = 0; i < idDigits; ++i) {
        const int digit = HexValue(text[i]);
        if (digit < 0) return false;
        value = value * 16 + static_cast<uint32_t>(digit);
    }
    id = static_cast<uint16_t>(value);
    text.remove_prefix(idDigits);
    return true;
}

bool TakePrefix(std::wstring_view& text, std::wstring_view prefix) {
    if (!StartsWithIgnoringCase(text, prefix)) return false;
    text.remove_prefix(prefix.size());
    return true;
}

}  // namespace

bool operator==(const PciIds& a, const PciIds& b) {
    return a.known == b.known && a.vendor == b.vendor && a.device == b.device;
}

std::wstring CutText(std::wstring_view text, std::size_t limit) {
    if (text.size() <= limit) return std::wstring(text);
    std::size_t length = limit;
    if (length > 0 && IsHighSurrogate(static_cast<char32_t>(text[length - 1]))) --length;
    return std::wstring(text.substr(0, length));
}

PciIds PciIdsOfDeviceId(std::wstring_view deviceId) {
    PciIds ids;
    uint16_t vendor = 0;
    uint16_t device = 0;
    if (!TakePrefix(deviceId, pciPrefix) || !TakePrefix(deviceId, vendorKey) ||
        !TakeId(deviceId, vendor) || !TakePrefix(deviceId, deviceKey) ||
        !TakeId(deviceId, device)) {
        return ids;
    }
    if (!deviceId.empty() && deviceId.front() != L'&' && deviceId.front() != L'\\') return ids;
    return {true, vendor, device};
}

std::wstring DriverVersionText(uint64_t version) {
    std::wstring text;
    for (uint32_t part = versionParts; part-- > 0;) {
        text += std::to_wstring((version >> (part * versionPartBits)) & versionPartMask);
        if (part > 0) text += L'.';
    }
    return text;
}

std::wstring HexText(uint32_t value, std::size_t digits) {
    static const wchar_t hex[] = L"0123456789abcdef";
    constexpr uint32_t bitsPerDigit = 4;
    std::wstring text;
    for (std::size_t i = digits; i-- > 0;) {
        text += i * bitsPerDigit < 32 ? hex[(value >> (i * bitsPerDigit)) & 0xF] : L'0';
    }
    return text;
}

std::wstring PciIdsText(const PciIds& ids) {
    return HexText(ids.vendor, idDigits) + L":" + HexText(ids.device, idDigits);
}

std::wstring WmiDateDay(std::wstring_view date) {
    if (date.size() < dateDigits) return {};
    for (std::size_t i = 0; i < dateDigits; ++i) {
        if (date[i] < L'0' || date[i] > L'9') return {};
    }
    return std::wstring(date.substr(0, 4)) + L"-" + std::wstring(date.substr(4, 2)) + L"-" +
           std::wstring(date.substr(6, 2));
}

GpuMaker MakerOfVendor(uint16_t vendor) {
    for (const VendorRow& row : vendorRows) {
        if (row.vendor == vendor) return row.maker;
    }
    return GpuMaker::Unknown;
}

const wchar_t* MakerName(GpuMaker maker) { return makerNames[static_cast<std::size_t>(maker)]; }

bool MakesGraphicsCards(GpuMaker maker) {
    return maker == GpuMaker::Nvidia || maker == GpuMaker::Amd || maker == GpuMaker::Intel;
}

AdapterKind KindOfAdapter(const PciIds& ids, std::wstring_view description) {
    const GpuMaker maker = ids.known ? MakerOfVendor(ids.vendor) : GpuMaker::Unknown;
    switch (maker) {
    case GpuMaker::Vmware:
    case GpuMaker::VirtualBox:
    case GpuMaker::Parallels:
    case GpuMaker::RedHat:
    case GpuMaker::Qemu: return AdapterKind::VirtualMachine;
    case GpuMaker::Microsoft:
        if (ids.device == hyperVVideoDevice) return AdapterKind::VirtualMachine;
        if (ids.device == basicRenderDevice) return AdapterKind::BasicDriver;
        break;
    default: break;
    }
    if (ContainsAny(description, virtualMachineWords)) return AdapterKind::VirtualMachine;
    if (ContainsAny(description, basicDriverWords)) return AdapterKind::BasicDriver;
    if (ContainsAny(description, softwareWords)) return AdapterKind::Software;
    return AdapterKind::Card;
}

bool IsBasicDisplayName(std::wstring_view name) { return ContainsAny(name, basicDriverWords); }

bool ControllerWorks(const VideoController& controller) {
    return controller.errorCode == 0 && controller.status == okStatus;
}

bool ControllerStopped(const VideoController& controller) {
    const bool statusKnown = !controller.status.empty();
    return controller.errorCode > 0 || (statusKnown && controller.status != okStatus);
}
