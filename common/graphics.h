#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The machine's graphics side as start-up reads it once: the adapter
// Direct3D 9 measures on, and every video controller WMI lists. What support
// asks first, and what tells a slow card from one run on the wrong GPU or
// without its driver.

// Each text read is cut to this many characters (never half a surrogate
// pair): a driver may give a name of any length.
constexpr std::size_t graphicsTextLimit = 128;

// A PCI vendor and device id; known false when nothing could be read.
struct PciIds {
    bool known = false;
    uint16_t vendor = 0;
    uint16_t device = 0;
};

bool operator==(const PciIds& a, const PciIds& b);

// What Direct3D 9 says of the adapter the check measures on (the default
// one); read false when it could not be asked.
struct MeasuredAdapter {
    bool read = false;
    std::wstring description;
    std::wstring driverFile;
    PciIds ids;
    uint32_t subsystem = 0;
    uint32_t revision = 0;
    uint64_t driverVersion = 0;  // four 16-bit parts, the first highest
    uint32_t adapterCount = 0;   // how many adapters Direct3D lists
    // The display mode; 0 where unknown.
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t refreshRate = 0;
};

// WMI's ConfigManagerErrorCode and AdapterRAM when the value is missing.
constexpr int64_t unknownNumber = -1;

// One instance of Win32_VideoController; a text WMI did not give is empty.
struct VideoController {
    std::wstring name;
    PciIds ids;  // from PNPDeviceID
    std::wstring driverVersion;
    std::wstring driverDate;  // as WMI writes dates: yyyymmddHHMMSS.ffffff+zzz
    int64_t errorCode = unknownNumber;
    std::wstring status;
    int64_t adapterRam = unknownNumber;  // bytes
};

// At most this many controllers are kept; a machine has one to three.
constexpr std::size_t videoControllerLimit = 16;

struct GraphicsSide {
    MeasuredAdapter adapter;
    VideoController controllers[videoControllerLimit];
    std::size_t controllerCount = 0;
};

// Text cut to at most limit characters, never leaving the first half of a
// surrogate pair at its end.
std::wstring CutText(std::wstring_view text, std::size_t limit = graphicsTextLimit);

// The vendor and device of a PCI device instance path,
// "PCI\VEN_10DE&DEV_1C03&SUBSYS_…": "PCI\" then "VEN_" and "&DEV_" each
// with exactly four hex digits (either case), the device's followed by the
// end, "&" or "\". Anything else is unknown.
PciIds PciIdsOfDeviceId(std::wstring_view deviceId);

// A driver version as Direct3D gives it: "a.b.c.d", each part 16 bits.
std::wstring DriverVersionText(uint64_t version);

// The value's lowest digits hex digits, lower case: HexText(0x1c03, 4) is
// "1c03".
std::wstring HexText(uint32_t value, std::size_t digits);

// "10de:1c03"; "unknown" is the caller's for ids not known.
std::wstring PciIdsText(const PciIds& ids);

// A WMI date's day, "2023-09-07"; empty for a text that does not start
// with eight digits.
std::wstring WmiDateDay(std::wstring_view date);

enum class GpuMaker : uint8_t {
    Unknown,
    Nvidia,
    Amd,
    Intel,
    Microsoft,
    Vmware,
    VirtualBox,
    Parallels,
    RedHat,  // virtio and QXL, as QEMU and KVM show them
    Qemu,    // QEMU's standard VGA
    Qualcomm,
    Matrox,
    Aspeed,
};

GpuMaker MakerOfVendor(uint16_t vendor);
// The maker's name as players know it; empty for Unknown.
const wchar_t* MakerName(GpuMaker maker);
// NVIDIA, AMD and Intel: the makers of the graphics cards games run on.
bool MakesGraphicsCards(GpuMaker maker);

enum class AdapterKind : uint8_t {
    Card,            // a graphics card or a processor's graphics, with its driver
    BasicDriver,     // Windows' basic render or display driver: no card driver
    Software,        // a software rasteriser
    VirtualMachine,  // a virtual machine's emulated graphics
};

// What an adapter is, from its ids and its description.
AdapterKind KindOfAdapter(const PciIds& ids, std::wstring_view description);

// Windows' basic display adapter, by the name WMI gives it (English or
// Chinese Windows).
bool IsBasicDisplayName(std::wstring_view name);

// Whether WMI says the controller works: error code 0 and status "OK".
bool ControllerWorks(const VideoController& controller);
// Whether WMI says Windows stopped it: a known non-zero error code, or a
// known status other than "OK".
bool ControllerStopped(const VideoController& controller);
