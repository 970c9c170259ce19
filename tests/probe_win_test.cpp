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

struct IntegerValue {
    VARTYPE kind;
    uint64_t bits;
    std::size_t bytes;
    const wchar_t* text;
};

// The small kinds are widened by their own signedness; the rest of the value
// area is filled with 0x7A first, so a conversion reading past the value
// would show it.
const IntegerValue integerValues[] = {
    {VT_UI4, 3000000000u, 4, L"-1294967296"}, {VT_I4, 2096, 4, L"2096"},
    {VT_INT, 0xFFFFFFF9u, 4, L"-7"},          {VT_UINT, 0x80000000u, 4, L"-2147483648"},
    {VT_I8, 4294967301u, 8, L"5"},            {VT_UI8, 4294967301u, 8, L"5"},
    {VT_I8, ~0ull, 8, L"-1"},                 {VT_I1, 0xFB, 1, L"-5"},
    {VT_UI1, 200, 1, L"200"},                 {VT_I2, 0x8000, 2, L"-32768"},
    {VT_UI2, 65535, 2, L"65535"},
};

VARIANT DirtyVariant(VARTYPE kind, uint64_t bits, std::size_t bytes) {
    VARIANT value;
    VariantInit(&value);
    value.vt = kind;
    std::memset(&value.llVal, 0x7A, sizeof value.llVal);
    std::memcpy(&value.llVal, &bits, bytes);
    return value;
}
}

TEST(VariantText, ConvertsIntegerKindsAsSigned32BitFromTheValueAlone) {
    for (const IntegerValue& integer : integerValues) {
        std::wstring text = untouched;
        EXPECT_TRUE(ConvertVariantToText(text, DirtyVariant(integer.kind, integer.bits, integer.bytes)));
        EXPECT_EQ(text, integer.text) << "kind " << integer.kind;
    }
}

TEST(VariantText, CutsAStringAtItsFirstNulAndTakesANullOneAsEmpty) {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocStringLen(L"Intel\0hidden", 12);
    ASSERT_EQ(SysStringLen(value.bstrVal), 12u);
    std::wstring text = untouched;
    EXPECT_TRUE(ConvertVariantToText(text, value));
    EXPECT_EQ(text, L"Intel");
    VariantClear(&value);

    value.vt = VT_BSTR;
    value.bstrVal = nullptr;
    EXPECT_TRUE(ConvertVariantToText(text, value));
    EXPECT_EQ(text, L"");
}

TEST(VariantText, LeavesTheTextForKindsOutsideTheTable) {
    const VARTYPE kinds[] = {VT_EMPTY, VT_NULL, VT_BOOL, VT_R4, VT_R8, VT_DATE, VT_CY,
                             VT_DECIMAL, VT_I4 | VT_BYREF, VT_BSTR | VT_ARRAY};
    for (VARTYPE kind : kinds) {
        std::wstring text = untouched;
        EXPECT_FALSE(ConvertVariantToText(text, DirtyVariant(kind, 0, 8))) << "kind " << kind;
        EXPECT_EQ(text, untouched) << "kind " << kind;
    }
}

namespace {
const char processorClass[] = "Win32_Processor";
const char systemClass[] = "Win32_OperatingSystem";

struct ChildRun {
    DWORD exitCode = STILL_ACTIVE;
    std::string output; // line ends as "\n"
};

std::wstring TestDirectory() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring directory = path;
    return directory.substr(0, directory.find_last_of(L"\\/") + 1);
}

std::string ReadAll(HANDLE pipe) {
    std::string output;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        for (DWORD i = 0; i < got; ++i)
            if (buffer[i] != '\r') output.push_back(buffer[i]);
    }
    return output;
}

ChildRun RunProcess(const std::wstring& path, const wchar_t* mode) {
    ChildRun run;
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) return run;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::wstring commandLine = L"\"" + path + L"\" " + mode;
    PROCESS_INFORMATION process{};
    BOOL started = CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                                  nullptr, nullptr, &startup, &process);
    CloseHandle(writeEnd);
    if (started) {
        run.output = ReadAll(readEnd);
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &run.exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(readEnd);
    return run;
}

void SetRegistryText(const std::wstring& key, const wchar_t* name, const wchar_t* text) {
    DWORD bytes = static_cast<DWORD>((std::wcslen(text) + 1) * sizeof(wchar_t));
    RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, REG_SZ, text, bytes);
}

// Runs probe_child under a name of its own, for which Wine reports the given
// version and, when asked, switches a DLL off; the prefix-wide settings stay
// as they are, and the copy and its settings are removed afterwards.
ChildRun RunChild(const wchar_t* version, const wchar_t* disabledDll, const wchar_t* mode) {
    std::wstring name = std::wstring(L"probe_child_") + version + L"_" +
                        std::to_wstring(GetCurrentProcessId()) + L".exe";
    std::wstring directory = TestDirectory();
    std::wstring path = directory + name;
    if (!CopyFileW((directory + L"probe_child.exe").c_str(), path.c_str(), FALSE)) return {};
    std::wstring key = L"Software\\Wine\\AppDefaults\\" + name;
    SetRegistryText(key, L"Version", version);
    if (disabledDll != nullptr) SetRegistryText(key + L"\\DllOverrides", disabledDll, L"");
    ChildRun run = RunProcess(path, mode);
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    DeleteFileW(path.c_str());
    return run;
}

struct VersionSeen {
    const wchar_t* setting;
    unsigned major;
    unsigned minor;
    bool above61;
};

void ExpectVersionSeen(const VersionSeen& expected) {
    ChildRun run = RunChild(expected.setting, nullptr, L"version");
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    unsigned major = 0, minor = 0;
    int above61 = -1;
    ASSERT_EQ(std::sscanf(run.output.c_str(), "%u.%u %d", &major, &minor, &above61), 3);
    EXPECT_EQ(major, expected.major) << run.output;
    EXPECT_EQ(minor, expected.minor) << run.output;
    EXPECT_EQ(above61 == 1, expected.above61) << run.output;
    EXPECT_EQ(VersionAbove61(major, minor), above61 == 1) << run.output;
}
}

// Without a manifest Wine, like Windows 8.1 and later, shows a program 6.2
// at most: on win10 the first question (major above 6) fails and the
// second (6 with minor above 1) passes.
TEST(OsVersion, FollowsTheVersionThePrefixReportsToTheProgram) {
    ExpectVersionSeen({L"win10", 6, 2, true});
    ExpectVersionSeen({L"win7", 6, 1, false});
    ExpectVersionSeen({L"vista", 6, 0, false});
}

namespace {
// One connection for the whole suite: COM security can be set once per
// process, so the connection that should print nothing comes first.
class WmiConnection : public testing::Test {
protected:
    static void SetUpTestSuite() {
        testing::internal::CaptureStdout();
        connected = ConnectWmi(session);
        connectOutput = testing::internal::GetCapturedStdout();
    }
    static void TearDownTestSuite() {
        CloseWmi(session);
        EXPECT_EQ(session.services, nullptr);
        EXPECT_EQ(session.locator, nullptr);
    }

    static bool Read(std::wstring& text, const char* className, const char* propertyName) {
        testing::internal::CaptureStdout();
        bool result = QueryWmiProperty(text, session, className, propertyName);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        return result;
    }

    static std::wstring ReadRow(std::size_t row) {
        std::wstring text;
        EXPECT_TRUE(Read(text, WmiPropertyTable[row].className, WmiPropertyTable[row].propertyName));
        return text;
    }

    static WmiSession session;
    static bool connected;
    static std::string connectOutput;
};

WmiSession WmiConnection::session;
bool WmiConnection::connected = false;
std::string WmiConnection::connectOutput;
}

TEST_F(WmiConnection, ConnectsWithoutPrintingAnything) {
    EXPECT_TRUE(connected);
    EXPECT_EQ(connectOutput, "");
    EXPECT_NE(session.locator, nullptr);
    EXPECT_NE(session.services, nullptr);
}

TEST_F(WmiConnection, ReadsTheFiveProbePropertiesAsText) {
    for (std::size_t row : {0u, 6u, 9u, 10u, 13u}) EXPECT_FALSE(ReadRow(row).empty()) << row;
    EXPECT_GT(LeadingInt32(ReadRow(6)), 0);
    EXPECT_GT(LeadingInt64(ReadRow(13)), 0);
    EXPECT_EQ(ReadRow(10).substr(0, 5), L"10.0.");
}

TEST_F(WmiConnection, RefusesAMalformedQuerySilently) {
    std::wstring text = untouched;
    EXPECT_FALSE(Read(text, "Win32_Processor WHERE", "Name"));
    EXPECT_EQ(text, untouched);
}

TEST_F(WmiConnection, FindsNoValueWithoutTouchingTheText) {
    std::wstring text = untouched;
    EXPECT_TRUE(Read(text, "Win32_Processor WHERE Name = 'none'", "Name")); // no instance
    EXPECT_TRUE(Read(text, processorClass, "NoSuchProperty"));              // Get fails
    EXPECT_TRUE(Read(text, processorClass, "ExtClock"));                    // VT_NULL here
    EXPECT_EQ(text, untouched);
}

TEST_F(WmiConnection, RefusesANullNameWithoutQuerying) {
    std::wstring text = untouched;
    EXPECT_FALSE(Read(text, processorClass, nullptr));
    EXPECT_FALSE(Read(text, nullptr, "Name"));
    EXPECT_EQ(text, untouched);
}

TEST(WmiWithoutService, PrintsTheLocatorFailureAndProbesWithEmptyTexts) {
    ChildRun run = RunChild(L"win10", L"wbemprox", L"probe");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output,
              "CoCreateInstance() error.\nCPU\xEF\xBC\x9A\n version : \n\xE5\x86\x85\xE5\xAD\x98: 0G\n0\n");
}

TEST(WmiWithoutService, ReadsNothingOnASessionWithoutServices) {
    WmiSession empty;
    std::wstring text = untouched;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(QueryWmiProperty(text, empty, systemClass, "Caption"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(text, untouched);
}

// A thread already in a single-threaded apartment cannot enter the
// multithreaded one: the first step fails, nothing is obtained, and closing
// still leaves COM once (here undoing the thread's own entry).
TEST(WmiWithoutService, ReportsAFailedComInitialisation) {
    std::thread thread([] {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        WmiSession session;
        testing::internal::CaptureStdout();
        EXPECT_FALSE(ConnectWmi(session));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "CoInitializeEx() error.\n");
        EXPECT_EQ(session.locator, nullptr);
        EXPECT_EQ(session.services, nullptr);
        CloseWmi(session);
    });
    thread.join();
}
