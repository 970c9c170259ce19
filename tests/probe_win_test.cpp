#include "common/check_state.h"
#include "probe/probe.h"
#include "probe/variant_text_win.h"
#include "probe/readings.h"
#include "probe/wmi.h"

#include <gtest/gtest.h>

#include <oleauto.h>

#include <cstdio>
#include <cstring>
#include <string>

static const std::wstring untouched = L"untouched";

// The value area is filled with 0x7A beyond the value, so a conversion
// reading past it would show.
TEST(VariantText, ConvertsIntegersAsSigned32BitStringsToTheirFirstNulAndLeavesOtherKinds) {
    const struct { VARTYPE kind; uint64_t bits; std::size_t bytes; const wchar_t* text; } values[] = {
        {VT_UI4, 3000000000u, 4, L"-1294967296"}, {VT_I4, 2096, 4, L"2096"},
        {VT_INT, 0xFFFFFFF9u, 4, L"-7"}, {VT_UINT, 0x80000000u, 4, L"-2147483648"},
        {VT_I8, 4294967301u, 8, L"5"}, {VT_UI8, 4294967301u, 8, L"5"}, {VT_I8, ~0ull, 8, L"-1"},
        {VT_I1, 0xFB, 1, L"-5"}, {VT_UI1, 200, 1, L"200"}, {VT_I2, 0x8000, 2, L"-32768"},
        {VT_UI2, 65535, 2, L"65535"}, {VT_EMPTY, 0, 8, nullptr}, {VT_NULL, 0, 8, nullptr},
        {VT_BOOL, 0, 8, nullptr}, {VT_R4, 0, 8, nullptr}, {VT_R8, 0, 8, nullptr},
        {VT_DATE, 0, 8, nullptr}, {VT_CY, 0, 8, nullptr}, {VT_DECIMAL, 0, 8, nullptr},
        {VT_I4 | VT_BYREF, 0, 8, nullptr}, {VT_BSTR | VT_ARRAY, 0, 8, nullptr},
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

WmiSession session;  // one connection: COM security is set once per process

// Reads a property expecting the given result and nothing on standard output.
std::wstring Read(const char* className, const char* propertyName, bool result) {
    std::wstring text = untouched;
    testing::internal::CaptureStdout();
    EXPECT_EQ(QueryWmiProperty(text, session, className, propertyName), result);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    return text;
}

}  // namespace

TEST(Wmi, ConnectsSilentlyAndReadsTheFiveProbePropertiesAsText) {
    auto ReadProperty = [](WmiPropertyId id) {
        return Read(WmiPropertyOf(id).className, WmiPropertyOf(id).propertyName, true);
    };
    testing::internal::CaptureStdout();
    EXPECT_TRUE(ConnectWmi(session));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_NE(ReadProperty(WmiPropertyId::ProcessorName), untouched);
    EXPECT_NE(ReadProperty(WmiPropertyId::OsCaption), untouched);
    EXPECT_GT(LeadingInt32(ReadProperty(WmiPropertyId::ProcessorMaxClock)), 0);
    EXPECT_EQ(ReadProperty(WmiPropertyId::OsVersion).substr(0, 5), L"10.0.");
    EXPECT_GT(LeadingInt64(ReadProperty(WmiPropertyId::OsTotalVisibleMemory)), 0);
}

namespace {

// The stand-in service's path, registered for the locator's class while a
// test needs it; the registration found at first is put back after.
constexpr wchar_t locatorServer[] =
    L"Software\\Classes\\CLSID\\{4590F811-1D3A-11D0-891F-00AA004B2E24}\\InprocServer32";

std::wstring Registered() {
    wchar_t path[MAX_PATH] = {};
    DWORD bytes = sizeof path;
    RegGetValueW(HKEY_LOCAL_MACHINE, locatorServer, nullptr, RRF_RT_REG_SZ, nullptr, path, &bytes);
    return path;
}

void Register(const std::wstring& path) {
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, locatorServer, nullptr, REG_SZ, path.c_str(),
                    DWORD((path.size() + 1) * sizeof(wchar_t)));
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, locatorServer, L"ThreadingModel", REG_SZ, L"Both",
                    sizeof L"Both");
}

// The output of this program run again (see main) with the arguments under
// a name of its own, for which Wine reports the given version and may switch
// a DLL off, with "(failed)" for a non-zero exit; the copy and its settings
// are removed.
std::string RunChild(const wchar_t* arguments, const wchar_t* version = L"win10",
                     const wchar_t* disabledDll = nullptr) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring name = L"probe_child_" + std::to_wstring(GetCurrentProcessId()) + L".exe";
    std::wstring key = L"Software\\Wine\\AppDefaults\\" + name;
    auto set = [](const std::wstring& at, const wchar_t* value, const wchar_t* text) {
        DWORD bytes = DWORD((std::wcslen(text) + 1) * sizeof(wchar_t));
        RegSetKeyValueW(HKEY_CURRENT_USER, at.c_str(), value, REG_SZ, text, bytes);
    };
    set(key, L"Version", version);
    if (disabledDll) set(key + L"\\DllOverrides", disabledDll, L"");
    std::string output;
    FILE* child = CopyFileW(self, name.c_str(), FALSE)
        ? _wpopen((name + L" " + arguments).c_str(), L"rb") : nullptr;
    for (int c = child ? std::fgetc(child) : EOF; c != EOF; c = std::fgetc(child)) output += char(c);
    if (!child || _pclose(child) != 0) output += "(failed)";
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    DeleteFileW(name.c_str());
    return output;
}

// Children that meet the stand-in service behaving as TARVOQUIN_WMI says.
class StandInService : public testing::Test {
protected:
    void SetUp() override {
        wchar_t prefix[MAX_PATH] = {};
        GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH);
        std::wstring own(prefix);
        ASSERT_TRUE(own.size() > 8 && own.substr(own.size() - 8) == L"-standin")
            << "run in the stand-in prefix (scripts/wine-env.sh), not in " << prefix;
        wchar_t dll[MAX_PATH] = {};
        GetFullPathNameW(L"wmi_standin.dll", MAX_PATH, dll, nullptr);
        builtin = Registered();
        Register(dll);
    }
    void TearDown() override {
        if (!builtin.empty()) Register(builtin);
        SetEnvironmentVariableW(L"TARVOQUIN_WMI", nullptr);
    }
    std::string Run(const wchar_t* behaviour, const wchar_t* arguments) {
        SetEnvironmentVariableW(L"TARVOQUIN_WMI", behaviour);
        return RunChild(arguments);
    }
    std::wstring builtin;
};

// The lines the probe builds from the stand-in's readings and the verdict.
// Each line ends in "|" (a line end would come out as CR LF).
const std::string readLines = "CPU\xEF\xBC\x9AStand-in CPU|Stand-in Windows version : 10.0.19045|"
                              "\xE5\x86\x85\xE5\xAD\x98: 16G|";
const std::string emptyLines = "CPU\xEF\xBC\x9A| version : |\xE5\x86\x85\xE5\xAD\x98: 0G|";

}  // namespace

// Without a manifest Wine, like Windows 8.1 and later, shows a program 6.2
// at most: on win10 the version check sees 6.2 and passes, 6.1 and 6.0 fail.
// Without WMI the probe writes the failed step, and only that.
TEST(Child, TheVersionCheckPassesAboveSixPointOneAndAMissingServiceIsReported) {
    const struct { const wchar_t* version; const wchar_t* disabledDll; const char* output; } runs[] = {
        {L"win10", nullptr, "1"}, {L"win7", nullptr, "0"}, {L"vista", nullptr, "0"},
        {L"win10", L"wbemprox", "1CoCreateInstance() error.\r\n"}};
    for (const auto& run : runs) EXPECT_EQ(RunChild(L"version", run.version, run.disabledDll), run.output);
}

// Each read on its own query: a value of each kind, the first of several
// instances, none, a refused query, a property the object lacks.
TEST_F(StandInService, ReadsTheFirstInstancesValueAsText) {
    const std::string output = Run(L"", L"reads Kinds.UI4 Kinds.I8 Kinds.UI8 Kinds.Null Kinds.Embedded "
                                        L"Kinds.Real Several.Name Nothing.Name Refused.Name Kinds.None");
    EXPECT_EQ(output, "1 -1294967296|1 5|1 5|1 untouched|1 Intel|1 untouched|1 first|1 untouched|"
                      "0 untouched|1 untouched|");
}

// What the probe prints, the lines and the verdict; a service that never
// answers is waited for about 20 s at most.
TEST_F(StandInService, TheProbeReadsWhatComesInTimeAndReportsTheFailedStep) {
    const struct { const wchar_t* behaviour; std::string output; } runs[] = {
        {L"", readLines + "1|"},
        {L"slow", readLines + "1|"},
        {L"hang-next", emptyLines + "0|"},
        {L"hang-connect", "ConnectServer() error.\r\n" + emptyLines + "0|"},
        {L"fail-create", "CoCreateInstance() error.\r\n" + emptyLines + "0|"},
        {L"fail-connect", "ConnectServer() error.\r\n" + emptyLines + "0|"},
        {L"fail-blanket", "CoSetProxyBlanket() error.\r\n" + readLines + "1|"},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(testing::Message() << run.behaviour);
        ULONGLONG started = GetTickCount64();
        EXPECT_EQ(Run(run.behaviour, L"probe"), run.output);
        EXPECT_LT(GetTickCount64() - started, 25000u);
    }
}

namespace {

void PrintUtf8(const std::wstring& text) {
    char bytes[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes, sizeof bytes - 1, nullptr, nullptr);
    std::printf("%s|", bytes);
}

// "Class.Property ...": each read's result and text, a line each.
void ReadEach(int count, char** properties) {
    ConnectWmi(session);
    for (int i = 0; i < count; ++i) {
        std::string name = properties[i];
        std::size_t dot = name.find('.');
        std::wstring text = untouched;
        bool result = QueryWmiProperty(text, session, name.substr(0, dot).c_str(),
                                       name.substr(dot + 1).c_str());
        std::printf("%d ", result ? 1 : 0);
        PrintUtf8(text);
    }
    CloseWmi(session);
}

// The checker's probe with a passing CPU score: its lines and verdict.
void Probe() {
    checkState.cpuScore = 100.0f;
    RunProbe();
    std::fflush(stdout);
    PrintUtf8(checkState.cpuLine);
    PrintUtf8(checkState.osLine);
    PrintUtf8(checkState.memoryLine);
    std::printf("%d|", checkState.canRunGame ? 1 : 0);
    CloseWmi(wmiSession);
}

}  // namespace

// As a child: "version" prints whether the version check passes, then runs
// the checker's probe; "reads" and "probe" as above.
int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "version") == 0) {
        std::printf("%d", IsOsVersionAbove61() ? 1 : 0);
        RunProbe();
        CloseWmi(wmiSession);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "reads") == 0) {
        ReadEach(argc - 2, argv + 2);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "probe") == 0) {
        Probe();
        return 0;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
