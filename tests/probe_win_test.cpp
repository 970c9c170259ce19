#include "common/check_state.h"
#include "common/verdict.h"
#include "probe/probe.h"
#include "probe/variant_text_win.h"
#include "probe/wmi.h"

#include <gtest/gtest.h>

#include <oleauto.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>

static const std::wstring untouched = L"untouched";

// The value area is filled with 0x7A beyond the value, so a conversion
// reading past it would show.
TEST(VariantText, ConvertsIntegersAsSigned32BitStringsToTheirFirstNulAndLeavesOtherKinds) {
    const struct { VARTYPE kind; uint64_t bits; std::size_t bytes; const wchar_t* text; } values[] = {
        {VT_UI4, 3000000000u, 4, L"-1294967296"}, {VT_I4, 2096, 4, L"2096"},
        {VT_INT, 0xFFFFFFF9u, 4, L"-7"}, {VT_UINT, 0x80000000u, 4, L"-2147483648"},
        {VT_I8, 4294967301u, 8, L"5"}, {VT_UI8, 4294967301u, 8, L"5"},
        {VT_I1, 0xFB, 1, L"-5"}, {VT_UI1, 200, 1, L"200"}, {VT_I2, 0x8000, 2, L"-32768"},
        {VT_UI2, 65535, 2, L"65535"}, {VT_NULL, 0, 8, nullptr}, {VT_BOOL, 0, 8, nullptr},
        {VT_R8, 0, 8, nullptr}, {VT_I4 | VT_BYREF, 0, 8, nullptr},
        {VT_BSTR | VT_ARRAY, 0, 8, nullptr},
        {VT_BSTR, uint64_t(SysAllocStringLen(L"Intel\0hidden", 12)), 8, L"Intel"},
        {VT_BSTR, 0, 8, L""},  // a null string reads as empty
    };  // no text: a kind that does not convert
    for (const auto& value : values) {
        VARIANT variant;
        VariantInit(&variant);
        variant.vt = value.kind;
        std::memset(&variant.llVal, 0x7A, sizeof variant.llVal);
        std::memcpy(&variant.llVal, &value.bits, value.bytes);
        std::wstring text = untouched;
        EXPECT_EQ(ConvertVariantToText(text, variant), value.text != nullptr) << value.kind;
        EXPECT_EQ(text, value.text ? value.text : untouched) << value.kind;
        if (value.kind == VT_BSTR) SysFreeString(variant.bstrVal);
    }
}

namespace {

// What a run of a program (this one again, see main) printed, with "(failed)"
// for a non-zero exit.
std::string Output(FILE* child) {
    std::string output;
    for (int c = child ? std::fgetc(child) : EOF; c != EOF; c = std::fgetc(child)) output += char(c);
    if (!child || _pclose(child) != 0) output += "(failed)";
    return output;
}

std::wstring Self() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return self;
}

// The lines the probe builds from the stand-in's readings and the verdict.
// Each line ends in "|" (a line end would come out as CR LF).
const std::string readLines = "CPU\xEF\xBC\x9AStand-in CPU|Stand-in Windows version : 10.0.19045|"
                              "\xE5\x86\x85\xE5\xAD\x98: 16G|";
const std::string emptyLines = "CPU\xEF\xBC\x9A| version : |\xE5\x86\x85\xE5\xAD\x98: 0G|";
// Whether the clock and the memory rules' reads went unanswered.
const std::string answered = "00|", unanswered = "11|";
// The stand-in's four video controllers as the probe keeps them: name, PCI
// ids, error code, memory; nothing where a property was null.
const std::string controllers =
    "Intel(R) UHD Graphics 630,8086:3e92,0,1073741824;"
    "NVIDIA GeForce GTX 1060 6GB,10de:1c03,43,4293918720;"
    "Microsoft Basic Display Adapter,10de:2484,0,-1;"
    ",-,-1,-1;|";

}  // namespace

// Without a manifest Wine, like Windows 8.1 and later, shows a program 6.2
// at most. Wine reports the version set for a program's file name: each run
// is a copy.
TEST(Child, TheVersionIsTheOneReportedToTheProgram) {
    const struct { const wchar_t* version; const char* output; } runs[] = {
        {L"win10", "6.2"}, {L"win7", "6.1"}, {L"vista", "6.0"}};
    for (const auto& run : runs) {
        const std::wstring name = std::wstring(L"probe_child_") + run.version + L".exe";
        const std::wstring key = L"Software\\Wine\\AppDefaults\\" + name;
        RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"Version", REG_SZ, run.version,
                        DWORD((std::wcslen(run.version) + 1) * sizeof(wchar_t)));
        CopyFileW(Self().c_str(), name.c_str(), FALSE);
        FILE* child = _wpopen((name + L" version").c_str(), L"rb");
        EXPECT_EQ(Output(child), run.output) << run.version;
        RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
        DeleteFileW(name.c_str());
    }
}

// What the probe prints, the lines, the verdict, the reads not answered and
// the video controllers, against the stand-in service (the DLL beside this
// program) behaving as TARVOQUIN_WMI says, in the prefix kept for it, where
// it stays registered. The runs go together: whatever the service does, each
// ends after about 20 s at most.
TEST(StandInService, TheProbeReadsWhatComesInTimeAndReportsTheFailedStep) {
    const wchar_t* prefix = _wgetenv(L"WINEPREFIX");
    const std::wstring own = prefix ? prefix : L"";
    ASSERT_TRUE(own.size() > 8 && own.substr(own.size() - 8) == L"-standin")
        << "run in the stand-in prefix (scripts/wine-env.sh)";
    const wchar_t server[] =
        L"Software\\Classes\\CLSID\\{4590F811-1D3A-11D0-891F-00AA004B2E24}\\InprocServer32";
    wchar_t dll[MAX_PATH] = {};
    const DWORD length = GetFullPathNameW(L"wmi_standin.dll", MAX_PATH, dll, nullptr);
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, server, nullptr, REG_SZ, dll,
                              (length + 1) * sizeof(wchar_t)), ERROR_SUCCESS);
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, server, L"ThreadingModel", REG_SZ, L"Both",
                              sizeof L"Both"), ERROR_SUCCESS);
    const struct { const wchar_t* behaviour; std::string output; } runs[] = {
        {L"", readLines + "1|" + answered + controllers},
        {L"slow", readLines + "1|" + answered + controllers},
        {L"hang-next", emptyLines + "0|" + unanswered + "|"},
        {L"hang-video", readLines + "1|" + answered + "|"},
        {L"hang-connect", "ConnectServer() error.\r\n" + emptyLines + "0|" + unanswered + "|"},
        {L"fail-create", "CoCreateInstance() error.\r\n" + emptyLines + "0|" + answered + "|"},
        {L"fail-connect", "ConnectServer() error.\r\n" + emptyLines + "0|" + answered + "|"},
        {L"fail-blanket", "CoSetProxyBlanket() error.\r\n" + readLines + "1|" + answered + controllers},
    };
    FILE* children[std::size(runs)];
    const ULONGLONG started = GetTickCount64();
    for (std::size_t i = 0; i < std::size(runs); ++i) {
        SetEnvironmentVariableW(L"TARVOQUIN_WMI", runs[i].behaviour);
        children[i] = _wpopen((Self() + L" probe").c_str(), L"rb");
    }
    for (std::size_t i = 0; i < std::size(runs); ++i) {
        EXPECT_EQ(Output(children[i]), runs[i].output) << runs[i].behaviour;
    }
    EXPECT_LT(GetTickCount64() - started, 35000u);
}

// A class without instances and a property the instance lacks count as read
// (a clock so reads 0 and fails); a refused query does not. Neither sets the
// text. Instances are read up to the limit asked for.
TEST(StandInService, AQueryWithoutAValueCountsAsReadARefusedOneDoesNot) {
    const struct { const char* className; const char* property; bool result; } reads[] = {
        {"Nothing", "Name", true}, {"Win32_Processor", "None", true}, {"Refused", "Name", false}};
    SetEnvironmentVariableW(L"TARVOQUIN_WMI", nullptr);
    WmiSession session;
    ASSERT_TRUE(ConnectWmi(session));
    for (const auto& read : reads) {
        std::wstring text = untouched;
        EXPECT_EQ(QueryWmiProperty(text, session, read.className, read.property), read.result)
            << read.className;
        EXPECT_EQ(text, untouched) << read.className;
    }
    WmiValue values[2 * 2];
    const char* const properties[] = {"Name", "AdapterRAM"};
    EXPECT_EQ(QueryWmiInstances(session, "Refused", properties, 2, values, 2), 0u);
    EXPECT_EQ(QueryWmiInstances(session, "Win32_VideoController", properties, 2, values, 2), 2u);
    EXPECT_EQ(values[3].number, 4293918720);  // unsigned, as its CIM type says
    CloseWmi(session);
}

namespace {

// The checker's probe with a passing CPU score: its lines in UTF-8 and verdict.
void Probe() {
    checkState.cpuScore = 100.0f;
    RunProbe();
    BeginVideoControllers();
    // The video controllers' query ends within the probe's wait.
    while (!CollectVideoControllers()) Sleep(10);
    std::fflush(stdout);
    for (const std::wstring* line :
         {&checkState.cpuLine, &checkState.osLine, &checkState.memoryLine}) {
        char bytes[1024] = {};
        WideCharToMultiByte(CP_UTF8, 0, line->c_str(), -1, bytes, sizeof bytes - 1, nullptr,
                            nullptr);
        std::printf("%s|", bytes);
    }
    std::printf("%d|", checkState.canRunGame ? 1 : 0);
    std::printf("%d%d|", checkState.rules[std::size_t(Rule::Clock)].unanswered ? 1 : 0,
                checkState.rules[std::size_t(Rule::Memory)].unanswered ? 1 : 0);
    const GraphicsSide& graphics = checkState.circumstances.graphics;
    for (std::size_t i = 0; i < graphics.controllerCount; ++i) {
        const VideoController& controller = graphics.controllers[i];
        const std::wstring ids = controller.ids.known ? PciIdsText(controller.ids) : L"-";
        std::printf("%ls,%ls,%lld,%lld;", controller.name.c_str(), ids.c_str(),
                    static_cast<long long>(controller.errorCode),
                    static_cast<long long>(controller.adapterRam));
    }
    std::printf("|");
    CloseWmi(wmiSession);
}

}  // namespace

// As a child: "version" prints the version the probe reads, "probe" runs
// the checker's probe.
int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "version") == 0) {
        const OsVersion version = ReportedOsVersion();
        std::printf("%u.%u", version.major, version.minor);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "probe") == 0) {
        Probe();
        return 0;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
