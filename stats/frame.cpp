#include "stats/frame.h"

#include "common/verdict.h"
#include "stats/meters.h"

FrameState frameState;

namespace {

void KeepMetersBeforeFrame(FrameState& frame, const CheckState& state) {
    frame.fpsCounterBeforeFrame = state.fpsCounter;
    frame.fpsMovingAverageBeforeFrame = state.fpsMovingAverage;
}

// A frame whose Present answered "lost" leaves the meters as it found them.
bool ReachedScreen(FrameState& frame, CheckState& state, int32_t presentAnswer) {
    if (presentAnswer != deviceAnswerLost) return true;
    state.fpsCounter = frame.fpsCounterBeforeFrame;
    state.fpsMovingAverage = frame.fpsMovingAverageBeforeFrame;
    frame.deviceLost = true;
    return false;
}

// A device that works again is reset all the same (Direct3D allows it): a
// reset whose Reset worked but whose cube buffers could not be made leaves
// it so, and the next reset makes them. Any other answer is waited out.
bool CanReset(int32_t cooperativeLevel) {
    return cooperativeLevel == deviceAnswerNotReset || cooperativeLevel == deviceAnswerOk;
}

void RunLostDevicePass(FrameState& frame, CheckState& state, const FrameSteps& steps) {
    if (CanReset(steps.testCooperativeLevel()) && steps.resetDevice() == deviceAnswerOk) {
        frame.deviceLost = false;
        RestartFrameRateSeconds(state, steps.tickSeconds());
        return;
    }
    steps.waitBriefly();
}

}  // namespace

bool DrawFrame(FrameState& frame, CheckState& state, const FrameSteps& steps) {
    if (frame.deviceLost) return false;
    KeepMetersBeforeFrame(frame, state);
    steps.drawCube();
    TickFpsCounterAt(state.fpsCounter, steps.tickSeconds());
    steps.drawRowsToCpuFigure();
    float movingAverage = UpdateFpsMovingAverageAt(state.fpsMovingAverage, steps.tickSeconds());
    steps.drawRowsFromFpsma(movingAverage);
    return ReachedScreen(frame, state, steps.present());
}

void RunTimedFrame(FrameState& frame, CheckState& state, const FrameSteps& steps) {
    if (frame.deviceLost) {
        RunLostDevicePass(frame, state, steps);
        return;
    }
    int64_t frequency = steps.performanceFrequency();
    int64_t start = steps.performanceCounter();
    steps.setTransforms();
    bool reachedScreen = DrawFrame(frame, state, steps);
    int64_t end = steps.performanceCounter();
    if (!reachedScreen) return;
    AddTimedFrame(state.frameBatchAverage, FrameMilliseconds(start, end, frequency));
    ApplyRule(state, FrameTimeFails(state.frameBatchAverage.average));
}
