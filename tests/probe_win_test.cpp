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
    auto ReadRow = [](WmiRow row) {
        return Read(WmiPropertyOf(row).className, WmiPropertyOf(row).propertyName, true);
    };
    testing::internal::CaptureStdout();
    EXPECT_TRUE(ConnectWmi(session));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_NE(ReadRow(WmiRow::ProcessorName), untouched);
    EXPECT_NE(ReadRow(WmiRow::OsCaption), untouched);
    EXPECT_GT(LeadingInt32(ReadRow(WmiRow::ProcessorMaxClock)), 0);
    EXPECT_EQ(ReadRow(WmiRow::OsVersion).substr(0, 5), L"10.0.");
    EXPECT_GT(LeadingInt64(ReadRow(WmiRow::OsTotalVisibleMemory)), 0);
}

TEST(Wmi, RefusedOrEmptyReadsLeaveTheTextAlone) {
    const struct { const char* className; const char* propertyName; bool result; } reads[] = {
        {"Win32_Processor WHERE", "Name", false}, {"Win32_Processor", nullptr, false},
        {nullptr, "Name", false}, {"Win32_Processor WHERE Name = 'none'", "Name", true},
        {"Win32_Processor", "NoSuchProperty", true}, {"Win32_Processor", "ExtClock", true},
    };  // a refused query, no name, no instance, Get failing, VT_NULL
    for (const auto& read : reads) {
        EXPECT_EQ(Read(read.className, read.propertyName, read.result), untouched) << &read - reads;
    }
    CloseWmi(session);
    EXPECT_EQ(Read("Win32_OperatingSystem", "Caption", false), untouched);  // no services
}

namespace {

// The output of this program run again (see main) under a name of its own,
// for which Wine reports the given version and may switch a DLL off, with
// "(failed)" for a non-zero exit; the copy and its settings are removed.
std::string RunChild(const wchar_t* version, const wchar_t* disabledDll) {
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
    FILE* child = CopyFileW(self, name.c_str(), FALSE) ? _wpopen((name + L" child").c_str(), L"rb")
                                                       : nullptr;
    for (int c = child ? std::fgetc(child) : EOF; c != EOF; c = std::fgetc(child)) output += char(c);
    if (!child || _pclose(child) != 0) output += "(failed)";
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    DeleteFileW(name.c_str());
    return output;
}

}  // namespace

// Without a manifest Wine, like Windows 8.1 and later, shows a program 6.2
// at most: on win10 the version check sees 6.2 and passes, 6.1 and 6.0 fail.
// Without WMI the probe writes the failed step, and only that.
TEST(Child, TheVersionCheckPassesAboveSixPointOneAndAMissingServiceIsReported) {
    const struct { const wchar_t* version; const wchar_t* disabledDll; const char* output; } runs[] = {
        {L"win10", nullptr, "1"}, {L"win7", nullptr, "0"}, {L"vista", nullptr, "0"},
        {L"win10", L"wbemprox", "1CoCreateInstance() error.\r\n"}};
    for (const auto& run : runs) EXPECT_EQ(RunChild(run.version, run.disabledDll), run.output);
}

// As a child: whether the version check passes, then the checker's probe.
int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "child") == 0) {
        std::printf("%d", IsOsVersionAbove61() ? 1 : 0);
        RunProbe();
        CloseWmi(wmiSession);
        return 0;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
