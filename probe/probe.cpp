#include "probe/probe.h"

#include "common/check_state.h"
#include "common/verdict.h"
#include "probe/readings.h"
#include "probe/report_lines.h"
#include "probe/video_controllers.h"
#include "probe/wmi.h"

#include <string>
#include <vector>

namespace {

bool ReadProperty(std::wstring& text, WmiPropertyId id, bool* timedOut = nullptr) {
    const WmiProperty& property = WmiPropertyOf(id);
    return QueryWmiProperty(text, wmiSession, property.className, property.propertyName,
                            timedOut);
}

// A rule's read that the service did not answer in time is told as such.
void NoteUnanswered(Rule rule, bool timedOut) {
    if (timedOut) RecordUnanswered(checkState, rule);
}

// Every controller WMI lists, at most videoControllerLimit of them, in one
// query: a refused, hung or empty answer leaves the list empty.
void ReadVideoControllers(GraphicsSide& graphics) {
    std::vector<WmiValue> values(videoControllerLimit * videoControllerPropertyCount);
    const std::size_t read =
        QueryWmiInstances(wmiSession, videoControllerClass, videoControllerProperties,
                          videoControllerPropertyCount, values.data(), videoControllerLimit);
    graphics.controllerCount = 0;
    for (std::size_t i = 0; i < read && i < videoControllerLimit; ++i) {
        graphics.controllers[graphics.controllerCount++] =
            VideoControllerOf(&values[i * videoControllerPropertyCount]);
    }
}

}  // namespace

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
    bool clockLate = false;
    if (ReadProperty(clockText, WmiPropertyId::ProcessorMaxClock, &clockLate)) {
        RecordRule(checkState, Rule::Clock, ClockFigure(LeadingInt32(clockText)));
    } else {
        RecordNotRead(checkState, Rule::Clock);
    }
    NoteUnanswered(Rule::Clock, clockLate);

    RecordRule(checkState, Rule::CpuScore, checkState.cpuScore);

    checkState.osLine = BuildOsLine(caption, version);
    const OsVersion os = ReportedOsVersion();
    RecordRule(checkState, Rule::OsVersion, OsVersionFigure(os.major, os.minor));

    std::wstring memoryText;
    bool memoryLate = false;
    ReadProperty(memoryText, WmiPropertyId::OsTotalVisibleMemory, &memoryLate);
    float gigabytes = MemoryGigabytes(memoryText);
    RecordRule(checkState, Rule::Memory, gigabytes);
    NoteUnanswered(Rule::Memory, memoryLate);
    checkState.memoryLine = BuildMemoryLine(gigabytes);

    // For the report and the diagnoses only, within what is left of the
    // wait: the rows and their rules are read first.
    ReadVideoControllers(checkState.circumstances.graphics);
}
