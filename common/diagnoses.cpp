#include "common/diagnoses.h"

#include "common/verdict.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double stallMilliseconds = 100.0;
constexpr float capTolerance = 0.03f;
constexpr std::size_t cappedReadings = 4;
// Vertical sync holds a frame that misses a retrace to the next one: the
// rate falls to a half or a third of the refresh rate.
constexpr float capDivisors[] = {1.0f, 2.0f, 3.0f};
// Others used at least a third of the processor: busyShareDenominator x
// others >= total.
constexpr uint64_t busyShareDenominator = 3;
constexpr uint8_t onBatteryLine = 0;
constexpr uint64_t percent = 100;

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

float RefreshRateOf(const CheckState& state) {
    return static_cast<float>(state.circumstances.graphics.adapter.refreshRate);
}

template <typename Add>
void AddGraphicsDiagnoses(const GraphicsSide& graphics, Add add) {
    const MeasuredAdapter& measured = graphics.adapter;
    const AdapterKind kind =
        measured.read ? KindOfAdapter(measured.ids, measured.description) : AdapterKind::Card;
    // A virtual machine's graphics are emulated, with or without a driver.
    if (kind == AdapterKind::VirtualMachine) {
        add(Diagnosis::VirtualMachine);
    } else if (kind == AdapterKind::BasicDriver || kind == AdapterKind::Software ||
               DriverlessCard(graphics)) {
        add(Diagnosis::NoGraphicsDriver);
    }
    if (StoppedController(graphics)) add(Diagnosis::CardStopped);
    if (UnmeasuredCard(graphics)) add(Diagnosis::AnotherGpu);
}

// The rules judged on WMI's readings, and the operating system: what the
// figure says, or that WMI gave none.
template <typename Add>
void AddReadRuleDiagnoses(const CheckState& state, Add add) {
    const RuleRecord& clock = RecordOf(state, Rule::Clock);
    const RuleRecord& memory = RecordOf(state, Rule::Memory);
    if (clock.unanswered || memory.unanswered) add(Diagnosis::WmiUnanswered);
    const auto failedWithout = [](const RuleRecord& record) {
        return record.outcome == Outcome::Failed && !record.unanswered && record.figure == 0.0;
    };
    if (failedWithout(clock) || failedWithout(memory)) add(Diagnosis::WmiNoValue);
    if (RecordOf(state, Rule::OsVersion).outcome == Outcome::Failed) add(Diagnosis::OldWindows);
    const auto failedOnFigure = [](const RuleRecord& record) {
        return record.outcome == Outcome::Failed && !record.unanswered && record.figure > 0.0;
    };
    if (failedOnFigure(memory)) add(Diagnosis::LittleMemory);
    if (failedOnFigure(clock)) add(Diagnosis::SlowProcessor);
}

}  // namespace

float CappedFrameRate(const FpsMovingAverage& average, float refreshRate) {
    if (!(refreshRate > 0.0f) || average.window.size() < movingAverageReadings) return 0.0f;
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

const VideoController* StoppedController(const GraphicsSide& graphics) {
    for (std::size_t i = 0; i < graphics.controllerCount; ++i) {
        if (ControllerStopped(graphics.controllers[i])) return &graphics.controllers[i];
    }
    return nullptr;
}

const VideoController* UnmeasuredCard(const GraphicsSide& graphics) {
    const MeasuredAdapter& measured = graphics.adapter;
    if (!measured.ids.known) return nullptr;
    const GpuMaker measuredMaker = MakerOfVendor(measured.ids.vendor);
    const bool measuredOnACard =
        measuredMaker == GpuMaker::Nvidia || measuredMaker == GpuMaker::Amd;
    for (std::size_t i = 0; i < graphics.controllerCount; ++i) {
        const VideoController& controller = graphics.controllers[i];
        const GpuMaker maker = MakerOfVendor(controller.ids.vendor);
        if (!controller.ids.known || !ControllerWorks(controller) || !MakesGraphicsCards(maker) ||
            IsBasicDisplayName(controller.name) || controller.ids == measured.ids) {
            continue;
        }
        if (maker == GpuMaker::Intel && measuredOnACard) continue;
        return &controller;
    }
    return nullptr;
}

const VideoController* DriverlessCard(const GraphicsSide& graphics) {
    for (std::size_t i = 0; i < graphics.controllerCount; ++i) {
        const VideoController& controller = graphics.controllers[i];
        if (controller.ids.known && MakesGraphicsCards(MakerOfVendor(controller.ids.vendor)) &&
            IsBasicDisplayName(controller.name)) {
            return &controller;
        }
    }
    return nullptr;
}

Diagnoses Diagnose(const CheckState& state) {
    Diagnoses found;
    auto add = [&found](Diagnosis diagnosis) { found.items[found.count++] = diagnosis; };
    const RuleRecord& device = RecordOf(state, Rule::Device);
    const bool deviceFailed = device.outcome == Outcome::Failed;
    if (deviceFailed) {
        if (device.figure == static_cast<double>(DeviceProblem::NoDevice)) {
            add(state.circumstances.remoteSession ? Diagnosis::RemoteSession : Diagnosis::NoDevice);
        } else {
            add(Diagnosis::SceneObjects);
        }
    }
    // The graphics side is named only where it may be why the frames, or the
    // device, failed the machine.
    const bool framesFailed = RecordOf(state, Rule::FrameTime).outcome == Outcome::Failed;
    if (framesFailed || deviceFailed) AddGraphicsDiagnoses(state.circumstances.graphics, add);
    if (StallBehindFailure(state)) add(Diagnosis::Stall);
    if (CappedFrameRate(state.fpsMovingAverage, RefreshRateOf(state)) > 0.0f) {
        add(Diagnosis::FrameRateCap);
    }
    // Each is named where it may be why a rule failed: a busy processor slows
    // the frames or the workloads, a battery both.
    const bool scoreFailed = RecordOf(state, Rule::CpuScore).outcome == Outcome::Failed;
    if (framesFailed && Busy(state.frameFailure.othersDuringBatches)) {
        add(Diagnosis::BusyWhileTimed);
    }
    if (scoreFailed && Busy(state.circumstances.duringWorkloads)) add(Diagnosis::BusyProcessor);
    if ((scoreFailed || framesFailed) && state.circumstances.acLineStatus == onBatteryLine) {
        add(Diagnosis::OnBattery);
    }
    AddReadRuleDiagnoses(state, add);
    return found;
}
