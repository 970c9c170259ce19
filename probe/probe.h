#pragma once

#include <cstdint>

// Start-up probe: connects the process-wide WMI session, reads the processor,
// operating system and memory, writes checkState's cpuLine, osLine and
// memoryLine, and records the outcomes of the clock, CPU-score,
// operating-system version and memory rules. Reports nothing.
void RunProbe();

// Begins the query of the video controllers WMI lists, for the report and
// the diagnoses, on the probe's session and within what is left of its
// wait, on a thread of its own: nothing waits for it (under Wine it takes a
// quarter of a second, much of it with Direct3D's own lock held). Once only.
void BeginVideoControllers();

// Between frames: once the video controllers' query has ended, its
// controllers enter checkState (at most videoControllerLimit). True once
// they have (or there was no query), false while it runs.
bool CollectVideoControllers();

// At exit, a query still running is left to end on its own.
void AbandonVideoControllers();

struct OsVersion {
    uint32_t major;
    uint32_t minor;
};

// The operating-system version the platform reports to the program: without
// a manifest that names Windows 8.1 or 10, Windows 8.1 and later report 6.2
// (all above 6.1, so the rule's outcome is theirs all the same).
OsVersion ReportedOsVersion();
