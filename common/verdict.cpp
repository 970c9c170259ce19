#include "common/verdict.h"

namespace {

constexpr uint32_t clockThresholdMegahertz = 1600;
constexpr float cpuScoreThreshold = 80.0f;
constexpr float memoryThresholdGigabytes = 3.8f;
constexpr double slowBatchAverageMilliseconds = 1000.0;
// Both frame meters must reach this before the verdict is shown.
constexpr double settledBatchAverage = 1.0;
constexpr float settledMovingAverage = 1.0f;

}  // namespace

bool ClockFails(int32_t maxClockMegahertz) {
    return static_cast<uint32_t>(maxClockMegahertz) < clockThresholdMegahertz;
}

bool CpuScoreFails(float cpuScore) { return cpuScore < cpuScoreThreshold; }

bool OsVersionFails(bool versionAbove61) { return !versionAbove61; }

bool MemoryFails(float gigabytes) { return gigabytes < memoryThresholdGigabytes; }

bool FrameTimeFails(double batchAverageMilliseconds) {
    return batchAverageMilliseconds > 0.0 && batchAverageMilliseconds > slowBatchAverageMilliseconds;
}

void ApplyRule(CheckState& state, bool failed) {
    if (failed) state.canRunGame = false;
}

void RecordMissingDevice(CheckState& state) {
    state.deviceMissing = true;
    ApplyRule(state, true);
}

Status ChooseStatus(const CheckState& state, float movingAverage) {
    if (state.deviceMissing) return Status::CannotRun;
    if (state.frameBatchAverage.average < settledBatchAverage ||
        movingAverage < settledMovingAverage) {
        return Status::Measuring;
    }
    return state.canRunGame ? Status::CanRun : Status::CannotRun;
}
