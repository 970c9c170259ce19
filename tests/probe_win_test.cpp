#include "probe/probe.h"
#include "probe/variant_text_win.h"
#include "probe/verdict.h"
#include "probe/wmi.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <thread>

namespace {

const std::wstring untouched = L"untouched";

// The rest of the value area is filled with 0x7A first, so a conversion
// reading past the value would show it.
VARIANT DirtyVariant(VARTYPE kind, uint64_t bits, std::size_t bytes) {
    VARIANT value;
    VariantInit(&value);
    value.vt = kind;
    std::memset(&value.llVal, 0x7A, sizeof value.llVal);
    std::memcpy(&value.llVal, &bits, bytes);
    return value;
}

}  // namespace

TEST(VariantText, ConvertsIntegersAsSigned32BitStringsToTheirFirstNulAndLeavesOtherKinds) {
    const struct {
        VARTYPE kind;
        uint64_t bits;
        std::size_t bytes;
        const wchar_t* text;
    } integers[] = {
        {VT_UI4, 3000000000u, 4, L"-1294967296"}, {VT_I4, 2096, 4, L"2096"},
        {VT_INT, 0xFFFFFFF9u, 4, L"-7"}, {VT_UINT, 0x80000000u, 4, L"-2147483648"},
        {VT_I8, 4294967301u, 8, L"5"}, {VT_UI8, 4294967301u, 8, L"5"}, {VT_I8, ~0ull, 8, L"-1"},
        {VT_I1, 0xFB, 1, L"-5"}, {VT_UI1, 200, 1, L"200"}, {VT_I2, 0x8000, 2, L"-32768"},
        {VT_UI2, 65535, 2, L"65535"},
    };
    for (const auto& integer : integers) {
        std::wstring text = untouched;
        EXPECT_TRUE(ConvertVariantToText(text, DirtyVariant(integer.kind, integer.bits, integer.bytes)));
        EXPECT_EQ(text, integer.text) << "kind " << integer.kind;
    }
    const VARTYPE others[] = {VT_EMPTY, VT_NULL, VT_BOOL, VT_R4, VT_R8, VT_DATE, VT_CY, VT_DECIMAL,
                              VT_I4 | VT_BYREF, VT_BSTR | VT_ARRAY};
    for (VARTYPE kind : others) {
        std::wstring text = untouched;
        EXPECT_FALSE(ConvertVariantToText(text, DirtyVariant(kind, 0, 8))) << "kind " << kind;
        EXPECT_EQ(text, untouched) << "kind " << kind;
    }
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocStringLen(L"Intel\0hidden", 12);
    std::wstring text = untouched;
    EXPECT_TRUE(ConvertVariantToText(text, value));
    EXPECT_EQ(text, L"Intel");
    VariantClear(&value);
    value.vt = VT_BSTR;  // a null string reads as empty
    value.bstrVal = nullptr;
    EXPECT_TRUE(ConvertVariantToText(text, value));
    EXPECT_EQ(text, L"");
}

namespace {

// One connection for the suite: COM security is set once per process.
class Wmi : public testing::Test {
protected:
    static void SetUpTestSuite() { connected = Silently([] { return ConnectWmi(session); }); }
    static void TearDownTestSuite() { CloseWmi(session); }
    template <typename Call>
    static bool Silently(Call call) {
        testing::internal::CaptureStdout();
        bool result = call();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        return result;
    }
    static bool Read(std::wstring& text, const char* className, const char* propertyName) {
        return Silently([&] { return QueryWmiProperty(text, session, className, propertyName); });
    }
    static std::wstring ReadRow(std::size_t row) {
        std::wstring text;
        EXPECT_TRUE(Read(text, WmiPropertyTable[row].className, WmiPropertyTable[row].propertyName));
        return text;
    }
    static WmiSession session;
    static bool connected;
};
WmiSession Wmi::session;
bool Wmi::connected = false;

}  // namespace

TEST_F(Wmi, ConnectsSilentlyAndReadsTheFiveProbePropertiesAsText) {
    ASSERT_TRUE(connected);
    EXPECT_FALSE(ReadRow(0).empty());
    EXPECT_FALSE(ReadRow(9).empty());
    EXPECT_GT(LeadingInt32(ReadRow(6)), 0);
    EXPECT_EQ(ReadRow(10).substr(0, 5), L"10.0.");
    EXPECT_GT(LeadingInt64(ReadRow(13)), 0);
}

TEST_F(Wmi, RefusedOrEmptyReadsLeaveTheTextAlone) {
    std::wstring text = untouched;
    EXPECT_FALSE(Read(text, "Win32_Processor WHERE", "Name"));
    EXPECT_FALSE(Read(text, "Win32_Processor", nullptr));
    EXPECT_FALSE(Read(text, nullptr, "Name"));
    EXPECT_TRUE(Read(text, "Win32_Processor WHERE Name = 'none'", "Name"));  // no instance
    EXPECT_TRUE(Read(text, "Win32_Processor", "NoSuchProperty"));  // Get fails
    EXPECT_TRUE(Read(text, "Win32_Processor", "ExtClock"));  // VT_NULL here
    WmiSession none;
    EXPECT_FALSE(QueryWmiProperty(text, none, "Win32_OperatingSystem", "Caption"));
    EXPECT_EQ(text, untouched);
}

// A thread already in a single-threaded apartment cannot enter the
// multithreaded one: the first step fails and nothing is obtained.
TEST(WmiFailure, AFailedComEntryIsReportedOnStandardOutput) {
    std::thread thread([] {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        WmiSession session;
        testing::internal::CaptureStdout();
        EXPECT_FALSE(ConnectWmi(session));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "CoInitializeEx() error.\n");
        EXPECT_EQ(session.locator, nullptr);
        CloseWmi(session);
    });
    thread.join();
}

namespace {

struct ChildRun {
    DWORD exitCode = STILL_ACTIVE;
    std::string output;
};

// This program run again with one argument (see main) under a name of its
// own, for which Wine reports the given version and, when asked, switches a
// DLL off; the copy and its settings are removed afterwards.
ChildRun RunChild(const wchar_t* version, const wchar_t* disabledDll, const wchar_t* mode) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    std::wstring name = L"probe_child_" + std::to_wstring(GetCurrentProcessId()) + L".exe";
    path = path.substr(0, path.find_last_of(L"\\/") + 1) + name;
    ChildRun run;
    if (!CopyFileW(self, path.c_str(), FALSE)) return run;
    std::wstring key = L"Software\\Wine\\AppDefaults\\" + name;
    auto set = [](const std::wstring& at, const wchar_t* value, const wchar_t* text) {
        RegSetKeyValueW(HKEY_CURRENT_USER, at.c_str(), value, REG_SZ, text,
                        DWORD((std::wcslen(text) + 1) * sizeof(wchar_t)));
    };
    set(key, L"Version", version);
    if (disabledDll) set(key + L"\\DllOverrides", disabledDll, L"");
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    CreatePipe(&readEnd, &writeEnd, &inherited, 0);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::wstring commandLine = L"\"" + path + L"\" " + mode;
    PROCESS_INFORMATION child{};
    BOOL started = CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                                  nullptr, nullptr, &startup, &child);
    CloseHandle(writeEnd);
    char buffer[4096];
    DWORD got = 0;
    while (started && ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        run.output.append(buffer, got);
    }
    if (started) {
        WaitForSingleObject(child.hProcess, INFINITE);
        GetExitCodeProcess(child.hProcess, &run.exitCode);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
    }
    CloseHandle(readEnd);
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    DeleteFileW(path.c_str());
    return run;
}

}  // namespace

// Without a manifest Wine, like Windows 8.1 and later, shows a program 6.2
// at most: on win10 the check sees 6.2 and passes, 6.1 and 6.0 fail.
TEST(OsVersion, PassesAboveSixPointOneAsThePlatformReportsIt) {
    const struct {
        const wchar_t* setting;
        const char* above61;
    } versions[] = {{L"win10", "1"}, {L"win7", "0"}, {L"vista", "0"}};
    for (const auto& version : versions) {
        ChildRun run = RunChild(version.setting, nullptr, L"version");
        EXPECT_EQ(run.exitCode, 0u);
        EXPECT_EQ(run.output, version.above61) << "setting " << version.setting;
    }
}

TEST(WmiFailure, WithoutTheServiceTheProbeWritesTheLocatorFailureAlone) {
    ChildRun run = RunChild(L"win10", L"wbemprox", L"probe");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, "CoCreateInstance() error.\r\n");
}

// "version" prints whether the version check passes, "probe" runs the probe
// and closes its session, as the checker does; without an argument, the tests.
int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "version") == 0) {
        std::printf("%d", IsOsVersionAbove61() ? 1 : 0);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "probe") == 0) {
        RunProbe();
        CloseWmi(wmiSession);
        return 0;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
