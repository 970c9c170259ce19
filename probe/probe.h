#pragma once

// Start-up probe: connects the process-wide WMI session, reads the processor,
// operating system and memory, writes checkState's cpuLine, osLine and
// memoryLine, and clears checkState.canRunGame for each failed criterion
// (clock, CPU score, operating-system version, memory). Reports nothing.
void RunProbe();

// True when the operating-system version the platform reports to the program
// is above 6.1.
bool IsOsVersionAbove61();
