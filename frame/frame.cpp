#include "frame/frame.h"

#include "common/diagnoses.h"
#include "common/verdict.h"
#include "stats/meters.h"

namespace {

// What others took over the batches the average weighs: the oldest of the
// five held has no weight, and is left out as the average leaves it out.
ProcessorUse OthersBehindAverage(const CheckState& state) {
    ProcessorUse use;
    for (std::size_t i = 1; i < state.othersDuringBatches.size(); ++i) {
        use.others += state.othersDuringBatches[i].others;
        use.total += state.othersDuringBatches[i].total;
    }
    return use;
}

// The frame-time rule on the batch average, once five batches exist (before
// that it is still measuring). Its first failure keeps the average, when it
// came (the end of this frame), the slowest frame behind it and what others
// took of the processor meanwhile.
void RecordFrameRule(CheckState& state, int64_t counter, int64_t frequency) {
    const FrameBatchAverage& batch = state.frameBatchAverage;
    if (batch.batches.size() < averagedBatches) return;
    if (!RecordRule(state, Rule::FrameTime, batch.average)) return;
    const SlowestBehindAverage slowest = SlowestBehind(batch);
    state.frameFailure = {batch.average, CounterSeconds(state.startCounter, counter, frequency),
                          slowest.frame.milliseconds,
                          CounterSeconds(state.startCounter, slowest.frame.counter, frequency),
                          slowest.averageWithout, OthersBehindAverage(state)};
}

// Between timed frames: the first batch begins before the first one, each
// later one as the one before closes.
void WatchBatchBegin(FrameState& frame, const FrameSteps& steps) {
    if (frame.batchBeganRead) return;
    frame.batchBegan = steps.processorTimes();
    frame.batchBeganRead = true;
}

void WatchBatchEnd(FrameState& frame, CheckState& state, const FrameSteps& steps) {
    const ProcessorTimes now = steps.processorTimes();
    state.othersDuringBatches.push_back(OthersUse(frame.batchBegan, now));
    frame.batchBegan = now;
}

void KeepMetersBeforeFrame(FrameState& frame, const CheckState& state) {
    frame.fpsCounterBeforeFrame = state.fpsCounter;
    frame.fpsMovingAverageBeforeFrame = state.fpsMovingAverage;
}

// A frame whose Present failed leaves the meters as it found them.
bool KeepIfReachedScreen(FrameState& frame, CheckState& state, HResult presentResult) {
    if (presentResult >= 0) return true;
    state.fpsCounter = frame.fpsCounterBeforeFrame;
    state.fpsMovingAverage = frame.fpsMovingAverageBeforeFrame;
    frame.deviceLost = true;
    return false;
}

// A device that works again is reset all the same (Direct3D allows it): a
// reset whose Reset worked but whose cube buffers could not be made leaves
// it so, and the next reset makes them.
bool CanReset(HResult cooperativeLevel) {
    return cooperativeLevel == deviceResultNotReset || cooperativeLevel == deviceResultOk;
}

void StartAfterRecovery(FrameState& frame, CheckState& state, const FrameSteps& steps) {
    frame.deviceLost = false;
    RestartFrameRateSeconds(state.fpsCounter, state.fpsMovingAverage, steps.tickSeconds());
}

void RunLostDevicePass(FrameState& frame, CheckState& state, const FrameSteps& steps) {
    HResult cooperativeLevel = steps.testCooperativeLevel(steps.context);
    if (CanReset(cooperativeLevel)) {
        if (steps.resetDevice(steps.context) == deviceResultOk) {
            StartAfterRecovery(frame, state, steps);
        } else {
            steps.waitBriefly(steps.context);
        }
        return;
    }
    if (cooperativeLevel == deviceResultLost) {
        steps.waitBriefly(steps.context);
        return;
    }
    if (steps.recreateDevice(steps.context) == deviceResultOk) {
        StartAfterRecovery(frame, state, steps);
        return;
    }
    // No device came: the step has recorded the machine as one without.
    frame.deviceLost = false;
}

// False while the window is minimised; on its return the frame-rate meters
// start a new second.
bool TrackWindowShown(FrameState& frame, CheckState& state, const FrameSteps& steps) {
    if (steps.windowMinimised(steps.context)) {
        frame.minimised = true;
        return false;
    }
    if (frame.minimised) {
        frame.minimised = false;
        RestartFrameRateSeconds(state.fpsCounter, state.fpsMovingAverage, steps.tickSeconds());
    }
    return true;
}

// The paint frame once the window shows it and the device works.
bool RenderShownFrame(FrameState& frame, CheckState& state, const FrameSteps& steps) {
    KeepMetersBeforeFrame(frame, state);
    steps.beginScene(steps.context);
    steps.drawCube(steps.context);
    TickFpsCounterAt(state.fpsCounter, steps.tickSeconds());
    steps.drawRowsToCpuFigure(steps.context);
    float movingAverage = UpdateFpsMovingAverageAt(state.fpsMovingAverage, steps.tickSeconds());
    steps.drawRowsFromFpsma(steps.context, movingAverage);
    steps.endScene(steps.context);
    return KeepIfReachedScreen(frame, state, steps.present(steps.context));
}

}  // namespace

bool PaintFrame(FrameState& frame, CheckState& state, const FrameSteps& steps) {
    if (NoDeviceToMeasure(state) || frame.deviceLost || !TrackWindowShown(frame, state, steps)) {
        return false;
    }
    return RenderShownFrame(frame, state, steps);
}

void TimeFrame(FrameState& frame, CheckState& state, const FrameSteps& steps) {
    if (NoDeviceToMeasure(state) || !TrackWindowShown(frame, state, steps)) {
        steps.waitForMessage(steps.context);
        return;
    }
    if (frame.deviceLost) {
        RunLostDevicePass(frame, state, steps);
        return;
    }
    WatchBatchBegin(frame, steps);
    int64_t frequency = steps.performanceFrequency();
    int64_t start = steps.performanceCounter();
    steps.setTransforms(steps.context);
    bool reachedScreen = RenderShownFrame(frame, state, steps);
    int64_t end = steps.performanceCounter();
    if (!reachedScreen) return;
    AddTimedFrame(state.frameBatchAverage, FrameMilliseconds(start, end, frequency), end);
    if (state.frameBatchAverage.frames == 0) WatchBatchEnd(frame, state, steps);
    RecordFrameRule(state, end, frequency);
}
