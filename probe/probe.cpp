#include "probe/probe.h"

#include "common/check_state.h"
#include "common/verdict.h"
#include "probe/probe_lines.h"
#include "probe/readings.h"
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

// A rule's read: one the service did not answer in time is told as such.
bool ReadRuleProperty(std::wstring& text, WmiPropertyId id, Rule rule) {
    bool timedOut = false;
    const bool read = ReadProperty(text, id, &timedOut);
    if (timedOut) RecordUnanswered(checkState, rule);
    return read;
}

// The video controllers' query, from the end of the probe until its
// instances are taken.
WmiBackgroundQuery* videoControllersQuery = nullptr;

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
    if (ReadRuleProperty(clockText, WmiPropertyId::ProcessorMaxClock, Rule::Clock)) {
        RecordRule(checkState, Rule::Clock, ClockFigure(LeadingInt32(clockText)));
    } else {
        RecordNotRead(checkState, Rule::Clock);
    }

    RecordRule(checkState, Rule::CpuScore, checkState.cpuScore);

    checkState.osLine = BuildOsLine(caption, version);
    const OsVersion os = ReportedOsVersion();
    RecordRule(checkState, Rule::OsVersion, OsVersionFigure(os.major, os.minor));

    std::wstring memoryText;
    ReadRuleProperty(memoryText, WmiPropertyId::OsTotalVisibleMemory, Rule::Memory);
    float gigabytes = MemoryGigabytes(memoryText);
    RecordRule(checkState, Rule::Memory, gigabytes);
    checkState.memoryLine = BuildMemoryLine(gigabytes);
}

void BeginVideoControllers() {
    if (videoControllersQuery) return;
    videoControllersQuery =
        BeginWmiInstances(wmiSession, videoControllerClass, videoControllerProperties,
                          videoControllerPropertyCount, videoControllerLimit);
}

bool CollectVideoControllers() {
    if (videoControllersQuery == nullptr) return true;
    std::vector<WmiValue> values;
    if (!TakeWmiInstances(videoControllersQuery, values)) return false;
    GraphicsSide& graphics = checkState.circumstances.graphics;
    graphics.controllerCount = 0;
    for (std::size_t at = 0; at + videoControllerPropertyCount <= values.size() &&
                             graphics.controllerCount < videoControllerLimit;
         at += videoControllerPropertyCount) {
        graphics.controllers[graphics.controllerCount++] = VideoControllerOf(&values[at]);
    }
    return true;
}

void AbandonVideoControllers() { AbandonWmiInstances(videoControllersQuery); }
