#include "probe/probe.h"

#include "common/check_state.h"
#include "probe/report_lines.h"
#include "probe/verdict.h"
#include "probe/wmi.h"

#include <string>

namespace {
constexpr std::size_t processorNameRow = 0;
constexpr std::size_t maxClockSpeedRow = 6;
constexpr std::size_t osCaptionRow = 9;
constexpr std::size_t osVersionRow = 10;
constexpr std::size_t totalVisibleMemoryRow = 13;

bool ReadRow(std::wstring& text, std::size_t row) {
    const WmiProperty& property = WmiPropertyTable[row];
    return QueryWmiProperty(text, wmiSession, property.className, property.propertyName);
}

// The verdict only ever goes from true to false.
void FailCriterion(bool failed) {
    if (failed) checkState.canRunGame = false;
}
}

// Every read runs even when the connection failed: a failed read leaves its
// text empty, and the lines and rules take the empty text as it is.
void RunProbe() {
    ConnectWmi(wmiSession);

    std::wstring processorName;
    ReadRow(processorName, processorNameRow);
    checkState.cpuLine = BuildCpuLine(processorName);

    std::wstring caption;
    std::wstring version;
    ReadRow(caption, osCaptionRow);
    ReadRow(version, osVersionRow);

    // A read that fails skips the clock rule; one that finds no value
    // leaves the clock at 0, which fails it.
    std::wstring clockText;
    if (ReadRow(clockText, maxClockSpeedRow)) FailCriterion(ClockFails(clockText));

    FailCriterion(CpuScoreFails(checkState.cpuScore));

    checkState.osLine = BuildOsLine(caption, version);
    FailCriterion(!IsOsVersionAbove61());

    std::wstring memoryText;
    ReadRow(memoryText, totalVisibleMemoryRow);
    float gigabytes = MemoryGigabytes(memoryText);
    FailCriterion(MemoryFails(gigabytes));
    checkState.memoryLine = BuildMemoryLine(gigabytes);
}
