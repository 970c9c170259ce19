#include "probe/probe.h"

#include <windows.h>

// GetVersionExW answers from the same manifest-dependent version that
// VerifyVersionInfoW compares. A failed call leaves 0.0, which fails the rule.
OsVersion ReportedOsVersion() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExW(&info)) return {0, 0};
    return {info.dwMajorVersion, info.dwMinorVersion};
}
