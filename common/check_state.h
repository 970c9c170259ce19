#pragma once

#include "common/graphics.h"
#include "stats/meters.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The rules of the verdict (common/verdict.cpp holds their rows).
enum class Rule : uint8_t { Clock, CpuScore, OsVersion, Memory, FrameTime, Device };
constexpr std::size_t ruleCount = 6;

enum class Outcome : uint8_t {
    Measuring,  // not judged yet (the frame-time rule before five batches)
    Passed,
    Failed,
    NotRead,  // its figure could not be read, so it is not judged
};

// What a rule judged: the figure in the rule's unit (MHz, score, version
// word, gigabytes, milliseconds, DeviceProblem) and the outcome.
struct RuleRecord {
    Outcome outcome = Outcome::Measuring;
    double figure = 0.0;
    // Its WMI read was given up on: the service did not answer in time.
    bool unanswered = false;
};

// The device rule's figure.
enum class DeviceProblem : uint8_t {
    None,
    NoDevice,      // no Direct3D 9 device on this machine
    SceneObjects,  // a device, but the cube's buffers could not be made on it
    RowFonts,      // a device, but the fonts the rows are drawn in could not be made on it
};

// Processor time over a stretch, in the platform's 100 ns units, all cores
// together: what other processes used, and all there was.
struct ProcessorUse {
    uint64_t others = 0;
    uint64_t total = 0;
};

// The processor times of the machine and of this process at one moment, in
// 100 ns units: the machine's kernel time includes its idle time, as
// GetSystemTimes gives it.
struct ProcessorTimes {
    uint64_t idle = 0;
    uint64_t kernel = 0;
    uint64_t user = 0;
    uint64_t process = 0;  // this process's kernel and user time
};

// The frame-time rule's first failure: the batch average then, when (seconds
// since start-up), the slowest frame of the batches behind that average and
// what the average would have been without that frame's time.
struct FrameFailure {
    double average = 0.0;
    double seconds = 0.0;
    double slowestMilliseconds = 0.0;
    double slowestSeconds = 0.0;
    double averageWithoutSlowest = 0.0;
    // What other processes took of the processor over the batches behind
    // that average.
    ProcessorUse othersDuringBatches;
};

// What start-up reads once of the machine's circumstances, for the
// diagnoses of a negative verdict.
struct Circumstances {
    bool remoteSession = false;
    uint8_t acLineStatus = 255;  // GetSystemPowerStatus's: 0 on battery, 1 plugged in, 255 unknown
    ProcessorUse duringWorkloads;
    GraphicsSide graphics;
};

// The adapter row's buffer, held here because the record holds the row; the
// row is built and cut by the overlay (scene/adapter_line.h).
constexpr std::size_t adapterLineCapacity = 160;

// The one record of results, written at start-up and per frame, read by the
// overlay, the tooltip, the copied report, the taskbar button and the
// diagnoses.
struct CheckState {
    // Derived from rules: cleared by the first failed outcome, never set again.
    bool canRunGame = true;
    RuleRecord rules[ruleCount];
    FrameFailure frameFailure;
    Circumstances circumstances;
    // The performance counter when the check started.
    int64_t startCounter = 0;
    float cpuScore = 0.0f;
    std::wstring cpuLine;
    std::wstring osLine;
    std::wstring memoryLine;
    wchar_t adapterLine[adapterLineCapacity] = {};
    FpsCounter fpsCounter;
    FpsMovingAverage fpsMovingAverage;
    FrameBatchAverage frameBatchAverage;
    // Beside each batch sum, what other processes took of the processor
    // while it ran (read between frames, outside the timed span).
    BoundedQueue<ProcessorUse, averagedBatches> othersDuringBatches;
};

extern CheckState checkState;
