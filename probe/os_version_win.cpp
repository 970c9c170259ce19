#include "probe/probe.h"

#include <windows.h>

namespace {
constexpr DWORD thresholdMajorVersion = 6;
constexpr DWORD thresholdMinorVersion = 1;
static_assert(sizeof(OSVERSIONINFOEXW) == 284, "the extended version record");
}

// Asks the platform twice: major above 6, then major 6 with minor above 1.
// The second mask keeps the first condition on the major version, so it reads
// "major at least 6, and if exactly 6, minor above 1".
bool IsOsVersionAbove61() {
    OSVERSIONINFOEXW record{};
    record.dwOSVersionInfoSize = sizeof record;
    record.dwMajorVersion = thresholdMajorVersion;
    record.dwMinorVersion = thresholdMinorVersion;
    ULONGLONG mask = VerSetConditionMask(0, VER_MAJORVERSION, VER_GREATER);
    if (VerifyVersionInfoW(&record, VER_MAJORVERSION, mask)) return true;
    mask = VerSetConditionMask(mask, VER_MAJORVERSION, VER_EQUAL);
    mask = VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER);
    return VerifyVersionInfoW(&record, VER_MAJORVERSION | VER_MINORVERSION, mask) != FALSE;
}
