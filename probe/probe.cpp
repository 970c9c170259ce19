#include "probe/probe.h"

#include "common/check_state.h"
#include "common/verdict.h"
#include "probe/readings.h"
#include "probe/report_lines.h"
#include "probe/wmi.h"

#include <string>

namespace {
bool ReadProperty(std::wstring& text, WmiPropertyId id) {
    const WmiProperty& property = WmiPropertyOf(id);
    return QueryWmiProperty(text, wmiSession, property.className, property.propertyName);
}
}

// Every read runs even when the connection failed: a failed read leaves its
// text empty, and the lines and rules take the empty text as it is.
void RunProbe() {
    ConnectWmi(wmiSession);

    std::wstring processorName;
    ReadProperty(processorName, WmiPropertyId::ProcessorName);
    checkState.cpuLine = BuildCpuLine(processorName);

    std::wstring caption;
    std::wstring version;
    ReadProperty(caption, WmiPropertyId::OsCaption);
    ReadProperty(version, WmiPropertyId::OsVersion);

    // A read that fails skips the clock rule; one that finds no value
    // leaves the clock at 0, which fails it.
    std::wstring clockText;
    if (ReadProperty(clockText, WmiPropertyId::ProcessorMaxClock)) {
        RecordRule(checkState, Rule::Clock, ClockFigure(LeadingInt32(clockText)));
    } else {
        RecordNotRead(checkState, Rule::Clock);
    }

    RecordRule(checkState, Rule::CpuScore, checkState.cpuScore);

    checkState.osLine = BuildOsLine(caption, version);
    const OsVersion os = ReportedOsVersion();
    RecordRule(checkState, Rule::OsVersion, OsVersionFigure(os.major, os.minor));

    std::wstring memoryText;
    ReadProperty(memoryText, WmiPropertyId::OsTotalVisibleMemory);
    float gigabytes = MemoryGigabytes(memoryText);
    RecordRule(checkState, Rule::Memory, gigabytes);
    checkState.memoryLine = BuildMemoryLine(gigabytes);
}
