// What the graphics side's readings come to: PCI ids from a device path,
// driver versions and dates, the maker and kind of an adapter, and a video
// controller from what WMI gave for it.
#include "common/graphics.h"
#include "probe/video_controllers.h"

#include <gtest/gtest.h>

#include <string>

TEST(Graphics, PciIdsComeOnlyFromAWholePciDevicePath) {
    const struct { const wchar_t* path; bool known; uint16_t vendor, device; } cases[] = {
        {L"PCI\\VEN_10DE&DEV_1C03&SUBSYS_85AE1043&REV_A1\\4&2B3E1C8A&0&0008", true, 0x10DE, 0x1C03},
        {L"pci\\ven_8086&dev_3e92", true, 0x8086, 0x3E92},
        {L"PCI\\VEN_1002&DEV_73BF\\5&1", true, 0x1002, 0x73BF},
        {L"PCI\\VEN_10DE&DEV_1C0", false, 0, 0},         // cut short
        {L"PCI\\VEN_10DE&DEV_1C031", false, 0, 0},       // five digits
        {L"PCI\\VEN_10DE&DEV_1C0G&SUBSYS_0", false, 0, 0},
        {L"PCI\\VEN_10D&DEV_1C03", false, 0, 0},
        {L"PCI\\VEN_10DE", false, 0, 0},
        {L"USB\\VID_046D&PID_C52B\\6&1", false, 0, 0},
        {L"ROOT\\BasicDisplay\\0000", false, 0, 0},
        {L"VEN_10DE&DEV_1C03", false, 0, 0},
        {L"", false, 0, 0},
    };
    for (const auto& c : cases) {
        const PciIds ids = PciIdsOfDeviceId(c.path);
        EXPECT_EQ(ids.known, c.known) << c.path;
        EXPECT_EQ(ids.vendor, c.vendor) << c.path;
        EXPECT_EQ(ids.device, c.device) << c.path;
    }
    const std::wstring overlong = L"PCI\\VEN_10DE&DEV_1C03&" + std::wstring(100000, L'A');
    EXPECT_EQ(PciIdsOfDeviceId(overlong).device, 0x1C03);
}

TEST(Graphics, DriverVersionsDatesAndIdsAreWrittenAsSupportReadsThem) {
    EXPECT_EQ(DriverVersionText((30ull << 48) | (0ull << 32) | (14023ull << 16) | 3004),
              L"30.0.14023.3004");
    EXPECT_EQ(DriverVersionText(0), L"0.0.0.0");
    EXPECT_EQ(DriverVersionText(~0ull), L"65535.65535.65535.65535");
    EXPECT_EQ(WmiDateDay(L"20230907000000.000000-000"), L"2023-09-07");
    EXPECT_EQ(WmiDateDay(L"2023-09-07"), L"");
    EXPECT_EQ(HexText(0xA1, 2), L"a1");
    EXPECT_EQ(HexText(0x12345678, 8), L"12345678");
    EXPECT_EQ(HexText(0xA1, 10), L"00000000a1");  // past 32 bits: zeros
}

TEST(Graphics, TheMakerAndKindOfAnAdapterComeFromItsIdsThenItsDescription) {
    EXPECT_EQ(MakerOfVendor(0x1022), GpuMaker::Amd);  // AMD's other id
    const struct { PciIds ids; const wchar_t* description; AdapterKind kind; } cases[] = {
        {{true, 0x10DE, 0x1C03}, L"NVIDIA GeForce GTX 1060 6GB", AdapterKind::Card},
        {{true, 0x1414, 0x008C}, L"Microsoft Basic Render Driver", AdapterKind::BasicDriver},
        {{true, 0x1414, 0x008C}, L"", AdapterKind::BasicDriver},
        {{true, 0x1414, 0x5353}, L"", AdapterKind::VirtualMachine},
        {{true, 0x15AD, 0x0405}, L"", AdapterKind::VirtualMachine},
        {{true, 0x80EE, 0xBEEF}, L"", AdapterKind::VirtualMachine},
        {{true, 0x1AB8, 0x0010}, L"", AdapterKind::VirtualMachine},
        {{true, 0x1234, 0x1111}, L"", AdapterKind::VirtualMachine},
        {{true, 0x1B36, 0x0100}, L"", AdapterKind::VirtualMachine},
        {{false, 0, 0}, L"Microsoft Basic Display Adapter", AdapterKind::BasicDriver},
        {{true, 0x10DE, 0x06CD}, L"LLVMpipe (LLVM 15.0.6, 256 bits)", AdapterKind::Software},
        {{true, 0x0000, 0x0000}, L"Google SwiftShader", AdapterKind::Software},
        {{false, 0, 0}, L"Parallels Display Adapter (WDDM)", AdapterKind::VirtualMachine},
        {{false, 0, 0}, L"", AdapterKind::Card},
    };
    for (const auto& c : cases) EXPECT_EQ(KindOfAdapter(c.ids, c.description), c.kind) << c.description;
}

TEST(Graphics, TextsAreCutNeverLeavingHalfASurrogatePair) {
    EXPECT_EQ(CutText(std::wstring(200, L'x')).size(), 128u);
    EXPECT_EQ(CutText(L"abc", 2), L"ab");
    EXPECT_EQ(CutText(L"abc", 3), L"abc");
    const std::wstring pair = {L'a', wchar_t(0xD83D), wchar_t(0xDE00)};
    EXPECT_EQ(CutText(pair, 2), L"a");
}

namespace {

WmiValue Text(const wchar_t* text) { return {WmiValue::Kind::Text, text, 0}; }
WmiValue Number(int64_t number) { return {WmiValue::Kind::Number, L"", number}; }

}  // namespace

TEST(VideoControllers, EachPropertyIsTakenOnlyAsItsOwnSort) {
    const WmiValue read[videoControllerPropertyCount] = {
        Text(L"NVIDIA GeForce GTX 1060 6GB"), Text(L"PCI\\VEN_10DE&DEV_1C03&SUBSYS_0"),
        Text(L"31.0.15.3623"), Text(L"20230907000000.000000-000"), Number(43), Text(L"Error"),
        Number(4293918720)};
    const VideoController controller = VideoControllerOf(read);
    EXPECT_EQ(controller.name, L"NVIDIA GeForce GTX 1060 6GB");
    EXPECT_EQ(controller.ids.device, 0x1C03);
    EXPECT_EQ(controller.driverVersion, L"31.0.15.3623");
    EXPECT_EQ(controller.driverDate, L"20230907000000.000000-000");
    EXPECT_EQ(controller.errorCode, 43);
    EXPECT_EQ(controller.status, L"Error");
    EXPECT_EQ(controller.adapterRam, 4293918720);
    // Null properties, numbers for texts, texts for numbers, a negative count.
    const WmiValue odd[videoControllerPropertyCount] = {
        Number(5), WmiValue{}, WmiValue{}, Number(20230907), Text(L"43"), Number(1), Number(-1)};
    const VideoController unknown = VideoControllerOf(odd);
    EXPECT_EQ(unknown.name, L"");
    EXPECT_FALSE(unknown.ids.known);
    EXPECT_EQ(unknown.driverDate, L"");
    EXPECT_EQ(unknown.errorCode, unknownNumber);
    EXPECT_EQ(unknown.status, L"");
    EXPECT_EQ(unknown.adapterRam, unknownNumber);
    const WmiValue longName[videoControllerPropertyCount] = {Text(std::wstring(5000, L'n').c_str())};
    EXPECT_EQ(VideoControllerOf(longName).name.size(), graphicsTextLimit);
    const WmiValue zero[videoControllerPropertyCount] = {{}, {}, {}, {}, Number(0), {}, Number(0)};
    EXPECT_EQ(VideoControllerOf(zero).errorCode, 0);  // a count of 0 is known
}
