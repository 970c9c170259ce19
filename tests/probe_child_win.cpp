// A fresh process for the Windows probe tests, started by probe_win_tests
// under a per-program Wine setting (reported version, DLLs switched off).
//   probe_child version   prints the version VerifyVersionInfoW compares
//                         with and IsOsVersionAbove61, e.g. "6.2 1"
//   probe_child probe     runs RunProbe with a passing CPU score, then prints
//                         the three lines in UTF-8 and the verdict (0 or 1)
#include "common/check_state.h"
#include "probe/probe.h"
#include "probe/wmi.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {
constexpr DWORD highestMajorTried = 20;
constexpr DWORD highestMinorTried = 9;

bool VerifiesAs(DWORD major, DWORD minor) {
    OSVERSIONINFOEXW record{};
    record.dwOSVersionInfoSize = sizeof record;
    record.dwMajorVersion = major;
    record.dwMinorVersion = minor;
    ULONGLONG mask = VerSetConditionMask(0, VER_MAJORVERSION, VER_EQUAL);
    mask = VerSetConditionMask(mask, VER_MINORVERSION, VER_EQUAL);
    return VerifyVersionInfoW(&record, VER_MAJORVERSION | VER_MINORVERSION, mask) != FALSE;
}

// The version VerifyVersionInfoW compares with, found by asking for equality.
void FindVerifiedVersion(DWORD& major, DWORD& minor) {
    for (major = 0; major <= highestMajorTried; ++major)
        for (minor = 0; minor <= highestMinorTried; ++minor)
            if (VerifiesAs(major, minor)) return;
}

void PrintUtf8Line(const std::wstring& text) {
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                    nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(),
                        bytes, nullptr, nullptr);
    std::printf("%s\n", utf8.c_str());
}

int ReportVersion() {
    DWORD major = 0;
    DWORD minor = 0;
    FindVerifiedVersion(major, minor);
    std::printf("%lu.%lu %d\n", major, minor, IsOsVersionAbove61() ? 1 : 0);
    return 0;
}

int ReportProbe() {
    checkState.cpuScore = 100.0f;
    RunProbe();
    PrintUtf8Line(checkState.cpuLine);
    PrintUtf8Line(checkState.osLine);
    PrintUtf8Line(checkState.memoryLine);
    std::printf("%d\n", checkState.canRunGame ? 1 : 0);
    CloseWmi(wmiSession);
    return 0;
}
}

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && std::wcscmp(argv[1], L"version") == 0) return ReportVersion();
    if (argc == 2 && std::wcscmp(argv[1], L"probe") == 0) return ReportProbe();
    std::fputs("usage: probe_child version|probe\n", stderr);
    return 2;
}
