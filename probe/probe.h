#pragma once

#include <cstdint>

// Start-up probe: connects the process-wide WMI session, reads the processor,
// operating system and memory, writes checkState's cpuLine, osLine and
// memoryLine, and records the outcomes of the clock, CPU-score,
// operating-system version and memory rules; then reads the video
// controllers WMI lists, for the report. Reports nothing.
void RunProbe();

struct OsVersion {
    uint32_t major;
    uint32_t minor;
};

// The operating-system version the platform reports to the program: without
// a manifest that names Windows 8.1 or 10, Windows 8.1 and later report 6.2
// (all above 6.1, so the rule's outcome is theirs all the same).
OsVersion ReportedOsVersion();
