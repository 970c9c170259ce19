#include "common/diagnoses.h"

#include "common/verdict.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double stallMilliseconds = 100.0;
constexpr float capTolerance = 0.03f;
constexpr std::size_t cappedReadings = 4;
constexpr std::size_t heldReadings = 6;
// Vertical sync holds a frame that misses a retrace to the next one: the
// rate falls to a half or a third of the refresh rate.
constexpr float capDivisors[] = {1.0f, 2.0f, 3.0f};
// Others used at least a third of the processor: busyShareDenominator x
// others >= total.
constexpr uint64_t busyShareDenominator = 3;
constexpr uint8_t onBatteryLine = 0;
constexpr uint64_t percent = 100;

const RuleRecord& RecordOf(const CheckState& state, Rule rule) {
    return state.rules[static_cast<std::size_t>(rule)];
}

// A slow card fails with or without its slowest frame: a stall is named
// only where the rule would have passed without it.
bool StallBehindFailure(const CheckState& state) {
    const FrameFailure& failure = state.frameFailure;
    return RecordOf(state, Rule::FrameTime).outcome == Outcome::Failed &&
           failure.slowestMilliseconds >= stallMilliseconds &&
           !RuleFails(Rule::FrameTime, failure.averageWithoutSlowest);
}

bool Busy(const ProcessorUse& use) {
    return use.total > 0 && busyShareDenominator * use.others >= use.total;
}

uint64_t Since(uint64_t before, uint64_t after) { return after > before ? after - before : 0; }

}  // namespace

float CappedFrameRate(const FpsMovingAverage& average, float refreshRate) {
    if (!(refreshRate > 0.0f) || average.window.size() < heldReadings) return 0.0f;
    for (float divisor : capDivisors) {
        const float target = refreshRate / divisor;
        std::size_t near = 0;
        for (std::size_t i = 0; i < average.window.size(); ++i) {
            if (std::fabs(average.window[i] - target) <= capTolerance * target) ++near;
        }
        if (near >= cappedReadings) return target;
    }
    return 0.0f;
}

ProcessorUse OthersUse(const ProcessorTimes& before, const ProcessorTimes& after) {
    const uint64_t total = Since(before.kernel, after.kernel) + Since(before.user, after.user);
    const uint64_t busy = total - std::min(total, Since(before.idle, after.idle));
    const uint64_t own = Since(before.process, after.process);
    return {busy > own ? busy - own : 0, total};
}

uint32_t OthersPercent(const ProcessorUse& use) {
    if (use.total == 0) return 0;
    return static_cast<uint32_t>((use.others * percent + use.total / 2) / use.total);
}

Diagnoses Diagnose(const CheckState& state) {
    Diagnoses found;
    auto add = [&found](Diagnosis diagnosis) { found.items[found.count++] = diagnosis; };
    if (StallBehindFailure(state)) add(Diagnosis::Stall);
    if (CappedFrameRate(state.fpsMovingAverage, state.circumstances.refreshRate) > 0.0f) {
        add(Diagnosis::FrameRateCap);
    }
    // Each is named where it may be why a rule failed: a busy processor slows
    // the workloads, a battery the workloads and the frames.
    const bool scoreFailed = RecordOf(state, Rule::CpuScore).outcome == Outcome::Failed;
    const bool framesFailed = RecordOf(state, Rule::FrameTime).outcome == Outcome::Failed;
    if (scoreFailed && Busy(state.circumstances.duringWorkloads)) add(Diagnosis::BusyProcessor);
    if ((scoreFailed || framesFailed) && state.circumstances.acLineStatus == onBatteryLine) {
        add(Diagnosis::OnBattery);
    }
    const RuleRecord& device = RecordOf(state, Rule::Device);
    if (device.outcome == Outcome::Failed) {
        if (device.figure == static_cast<double>(DeviceProblem::SceneObjects)) {
            add(Diagnosis::SceneObjects);
        } else {
            add(state.circumstances.remoteSession ? Diagnosis::RemoteSession : Diagnosis::NoDevice);
        }
    }
    return found;
}
