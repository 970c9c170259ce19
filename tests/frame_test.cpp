// The program's own frame sequence with the device's results scripted: the
// order of the steps, what each meter counts, what a frame that did not
// reach the screen takes back and what a reset starts anew.
#include "common/check_state.h"
#include "common/verdict.h"
#include "frame/frame.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// D3D_OK, D3DERR_INVALIDCALL, D3DERR_DRIVERINTERNALERROR
constexpr HResult ok = 0;
constexpr HResult invalidCall = deviceResultInvalidCall;
constexpr HResult driverInternalError = static_cast<HResult>(0x88760827u);

// The device's results and the clocks, and what the frame asked for.
struct Script {
    bool minimised = false;
    float seconds = 0.0f;
    HResult result = ok;  // Present's, or TestCooperativeLevel's while lost
    HResult remade = ok;  // the reset's or the new device's
    int64_t counter = 0;  // one count a reading, 4000 a second: 0.25 ms a frame
    int64_t stall = 0;    // counts the next frame's transforms take
    int64_t slow = 0;     // counts every frame's transforms take
    ProcessorTimes times;      // the next reading of the processor times
    ProcessorTimes timesStep;  // added after each reading
    int timesRead = 0;
    int64_t timesCost = 0;     // counts a reading takes
    std::string calls;
    int32_t fpsFramesAtFirstRows = -1;
    int32_t averageFramesAtFirstRows = -1;
    int32_t averageFramesAtLastRows = -1;
    float movingAverageShown = -1.0f;
};
Script script;
CheckState state;
FrameState frame;

// Every step is handed the table's context, the platform's frame data.
void Call(void* context, const char* step) {
    EXPECT_EQ(context, &script) << step;
    script.calls += script.calls.empty() ? step : std::string(" ") + step;
}

FrameSteps ScriptedSteps() {
    FrameSteps steps{};
    steps.context = &script;
    steps.windowMinimised = [](void*) { return script.minimised; };
    steps.setTransforms = [](void* context) {
        Call(context, "transforms");
        script.counter += script.stall + script.slow;
        script.stall = 0;
    };
    steps.beginScene = [](void* context) { Call(context, "begin"); };
    steps.drawCube = [](void* context) { Call(context, "cube"); };
    steps.drawRowsToCpuFigure = [](void* context) {
        Call(context, "rows");
        script.fpsFramesAtFirstRows = state.fpsCounter.frames;
        script.averageFramesAtFirstRows = state.fpsMovingAverage.counter.frames;
    };
    steps.drawRowsFromFpsma = [](void* context, float movingAverage) {
        Call(context, "rows");
        script.averageFramesAtLastRows = state.fpsMovingAverage.counter.frames;
        script.movingAverageShown = movingAverage;
    };
    steps.endScene = [](void* context) { Call(context, "end"); };
    steps.present = [](void* context) { Call(context, "present"); return script.result; };
    steps.testCooperativeLevel = [](void* context) {
        Call(context, "cooperative");
        return script.result;
    };
    steps.resetDevice = [](void* context) { Call(context, "reset"); return script.remade; };
    steps.recreateDevice = [](void* context) { Call(context, "recreate"); return script.remade; };
    steps.waitBriefly = [](void* context) { Call(context, "wait"); };
    steps.waitForMessage = [](void* context) { Call(context, "message"); };
    steps.tickSeconds = [] { return script.seconds; };
    steps.performanceCounter = [] { return ++script.counter; };
    steps.performanceFrequency = []() -> int64_t { return 4000; };
    steps.processorTimes = [] {
        const ProcessorTimes now = script.times;
        script.times.idle += script.timesStep.idle;
        script.times.kernel += script.timesStep.kernel;
        script.times.user += script.timesStep.user;
        script.times.process += script.timesStep.process;
        script.counter += script.timesCost;
        ++script.timesRead;
        return now;
    };
    return steps;
}
const FrameSteps scriptedSteps = ScriptedSteps();

enum class Kind { Timed, Paint, TimedMinimised, PaintMinimised };

struct Pass {
    Kind kind;
    float seconds;
    HResult result;
    HResult remade;
    const char* calls;
    int32_t frames;       // in both frame-rate meters since their last reading
    float lastSeconds;    // that reading's time
    int32_t batchFrames;
    bool lost;
};

const char* const painted = "begin cube rows rows end present";
const char* const timed = "transforms begin cube rows rows end present";
const char* const resetFailed = "cooperative reset wait";

const Pass passes[] = {
    // The first frame closes the fifth batch of 1300 ms: the verdict is cleared.
    {Kind::Timed, 10.25f, ok, 0, timed, 1, 10.0f, 0, false},
    {Kind::Paint, 10.5f, ok, 0, painted, 2, 10.0f, 0, false},
    // Any failed Present: taken back, and the device asked before the next frame.
    {Kind::Timed, 10.75f, invalidCall, 0, timed, 2, 10.0f, 0, true},
    {Kind::Timed, 11.0f, ok, ok, "cooperative reset", 0, 11.0f, 0, false},
    {Kind::Timed, 11.25f, ok, 0, timed, 1, 11.0f, 1, false},
    // Would close a second at 12.5: taken back out of it instead.
    {Kind::Timed, 12.5f, deviceResultLost, 0, timed, 1, 11.0f, 1, true},
    {Kind::Paint, 12.75f, ok, 0, "", 1, 11.0f, 1, true},
    {Kind::Timed, 13.0f, deviceResultLost, 0, "cooperative wait", 1, 11.0f, 1, true},
    {Kind::Timed, 13.5f, deviceResultNotReset, invalidCall, resetFailed, 1, 11.0f, 1, true},
    // Back: both meters start a new second here; the batch goes on.
    {Kind::Timed, 14.5f, deviceResultNotReset, ok, "cooperative reset", 0, 14.5f, 1, false},
    {Kind::Timed, 15.0f, ok, 0, timed, 1, 14.5f, 2, false},
    {Kind::Timed, 15.75f, ok, 0, timed, 0, 15.75f, 3, false},
    // The driver gave up on the device: made again, and a new second.
    {Kind::Timed, 16.0f, driverInternalError, 0, timed, 0, 15.75f, 3, true},
    {Kind::Timed, 17.0f, driverInternalError, ok, "cooperative recreate", 0, 17.0f, 3, false},
    {Kind::Timed, 17.25f, ok, 0, timed, 1, 17.0f, 4, false},
    // Minimised: nothing runs; restored, a new second.
    {Kind::TimedMinimised, 30.0f, ok, 0, "message", 1, 17.0f, 4, false},
    {Kind::PaintMinimised, 30.0f, ok, 0, "", 1, 17.0f, 4, false},
    {Kind::Timed, 31.0f, ok, 0, timed, 1, 31.0f, 5, false},
    // No new device comes: the frame is no longer lost.
    {Kind::Timed, 31.25f, driverInternalError, 0, timed, 1, 31.0f, 5, true},
    {Kind::Timed, 31.5f, driverInternalError, invalidCall, "cooperative recreate", 1, 31.0f, 5, false},
};

}  // namespace

TEST(Frames, OnlyFramesThatReachedTheScreenAreMeasuredAndARecoveryStartsANewSecond) {
    state.fpsCounter.lastSeconds = 10.0f;
    state.fpsMovingAverage.counter.lastSeconds = 10.0f;
    state.fpsMovingAverage.readings = 8;
    for (int i = 0; i < 6; ++i) state.fpsMovingAverage.window.push_back(60.0f);
    for (int i = 0; i < 4; ++i) state.frameBatchAverage.batches.push_back(1300.0);
    state.frameBatchAverage.frames = 3000;
    state.frameBatchAverage.batchMilliseconds = 1300.0 - 0.25;
    int step = 0;
    for (const Pass& pass : passes) {
        SCOPED_TRACE(testing::Message() << "pass " << ++step);
        script.calls.clear();
        script.minimised = pass.kind == Kind::TimedMinimised || pass.kind == Kind::PaintMinimised;
        script.seconds = pass.seconds;
        script.result = pass.result;
        script.remade = pass.remade;
        if (pass.kind == Kind::Timed || pass.kind == Kind::TimedMinimised) {
            TimeFrame(frame, state, scriptedSteps);
        } else {
            PaintFrame(frame, state, scriptedSteps);
        }
        EXPECT_EQ(script.calls, pass.calls);
        EXPECT_EQ(state.fpsCounter.frames, pass.frames);
        EXPECT_EQ(state.fpsMovingAverage.counter.frames, pass.frames);
        EXPECT_EQ(state.fpsCounter.lastSeconds, pass.lastSeconds);
        EXPECT_EQ(state.fpsMovingAverage.counter.lastSeconds, pass.lastSeconds);
        EXPECT_EQ(state.frameBatchAverage.frames, pass.batchFrames);
        EXPECT_EQ(frame.deviceLost, pass.lost);
    }
    // The first second after the reset spans 14.5 to 15.75 and its two frames.
    EXPECT_EQ(state.fpsCounter.fps, 2.0f / 1.25f);
    EXPECT_EQ(state.frameBatchAverage.batchMilliseconds, 5 * 0.25);
    EXPECT_NEAR(state.frameBatchAverage.average, 1043.210, 0.001);
    EXPECT_FALSE(state.canRunGame);
    // The last frame drawn, at 31.25 s: the FPS counter had counted it by the
    // first rows, the moving average only by the FPSMA row, which showed it.
    EXPECT_EQ(script.fpsFramesAtFirstRows, 2);
    EXPECT_EQ(script.averageFramesAtFirstRows, 1);
    EXPECT_EQ(script.averageFramesAtLastRows, 2);
    EXPECT_EQ(script.movingAverageShown, (5 * 60.0f + 2.0f / 1.25f) / 6);
    // The device's steps record that no device came: no frame runs again.
    RecordRule(state, Rule::Device, static_cast<double>(DeviceProblem::NoDevice));
    script.calls.clear();
    TimeFrame(frame, state, scriptedSteps);
    EXPECT_FALSE(PaintFrame(frame, state, scriptedSteps));
    EXPECT_EQ(script.calls, "message");
}

namespace {

void TimedFrames(int count) {
    for (int i = 0; i < count; ++i) {
        script.calls.clear();
        TimeFrame(frame, state, scriptedSteps);
    }
}

}  // namespace

// Four batches of 0.25 ms frames, then a fifth with a frame stalled for
// 1.5 s: the frame rule fails as the fifth batch closes and keeps that
// failure, with the stall, when the next batch brings the average down.
TEST(Frames, AStallInATimedFrameFailsTheFrameRuleAndIsKeptWithItsSizeAndTime) {
    state = CheckState{};
    frame = FrameState{};
    script = Script{};
    state.startCounter = 400;  // 0.1 s into the counter
    TimedFrames(4 * 3001 + 10);
    script.stall = 6000;
    TimedFrames(1);
    const int64_t stallEnd = script.counter;
    TimedFrames(3001 - 12);
    EXPECT_EQ(state.rules[std::size_t(Rule::FrameTime)].outcome, Outcome::Measuring);
    TimedFrames(1);
    const int64_t failedAt = script.counter;
    EXPECT_EQ(state.rules[std::size_t(Rule::FrameTime)].outcome, Outcome::Failed);
    EXPECT_NEAR(state.frameFailure.average, 1102.0, 0.5);
    EXPECT_EQ(state.frameFailure.seconds, (failedAt - 400) / 4000.0);
    EXPECT_EQ(state.frameFailure.slowestMilliseconds, 6001 / 4.0);
    EXPECT_EQ(state.frameFailure.slowestSeconds, (stallEnd - 400) / 4000.0);
    EXPECT_NEAR(state.frameFailure.averageWithoutSlowest, 602.0, 0.5);  // it passes without it
    TimedFrames(3001);
    EXPECT_LT(state.rules[std::size_t(Rule::FrameTime)].figure, 1000.0);
    EXPECT_EQ(state.rules[std::size_t(Rule::FrameTime)].outcome, Outcome::Failed);
    EXPECT_EQ(state.frameFailure.slowestMilliseconds, 6001 / 4.0);
}

// Each batch, others take 500 of 1500 units: a third, over the four batches
// the average weighs. The times are read before the first timed frame and as
// each batch closes, never inside a timed frame.
TEST(Frames, WhatOthersTookOfTheProcessorIsKeptBatchByBatchAndWithTheFailure) {
    state = CheckState{};
    frame = FrameState{};
    script = Script{};
    script.slow = 1;  // 0.5 ms frames: five such batches fail the rule
    script.timesStep = {400, 1000, 500, 600};
    script.timesCost = 4000;  // a second: read inside a timed frame, it would show
    TimedFrames(5 * 3001);
    EXPECT_EQ(script.timesRead, 6);
    EXPECT_EQ(state.frameBatchAverage.batches[4], 3001 * 0.5);
    EXPECT_EQ(state.rules[std::size_t(Rule::FrameTime)].outcome, Outcome::Failed);
    EXPECT_EQ(state.frameFailure.othersDuringBatches.others, 2000u);
    EXPECT_EQ(state.frameFailure.othersDuringBatches.total, 6000u);
}
