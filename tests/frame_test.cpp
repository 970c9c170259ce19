// The program's own frame sequence with the device's answers scripted: the
// order of the steps, what each meter counts, what a frame that did not
// reach the screen takes back and what a reset starts anew.
#include "common/check_state.h"
#include "frame/frame.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// D3DERR_INVALIDCALL, D3DERR_DRIVERINTERNALERROR, E_OUTOFMEMORY
constexpr int32_t invalidCall = static_cast<int32_t>(0x8876086Cu);
constexpr int32_t driverInternalError = static_cast<int32_t>(0x88760827u);
constexpr int32_t outOfMemory = static_cast<int32_t>(0x8007000Eu);

// The device's answers and the clocks, and what the frame asked for.
struct Script {
    bool minimised = false;
    float seconds = 0.0f;
    int32_t present = deviceAnswerOk;
    int32_t cooperativeLevel = deviceAnswerOk;
    int32_t reset = deviceAnswerOk;
    int32_t recreate = deviceAnswerOk;
    int64_t counter = 0;  // one count a reading, 4000 a second: 0.25 ms a frame
    std::string calls;
    const CheckState* state = nullptr;
    int32_t fpsFramesAtFirstRows = -1;
    int32_t averageFramesAtFirstRows = -1;
    int32_t averageFramesAtLastRows = -1;
    float movingAverageShown = -1.0f;
};
Script script;

void Call(const char* step) { script.calls += script.calls.empty() ? step : std::string(" ") + step; }

const FrameSteps scriptedSteps = {
    [] { return script.minimised; },
    [] { Call("transforms"); },
    [] { Call("cube"); },
    [] {
        Call("rows");
        script.fpsFramesAtFirstRows = script.state->fpsCounter.frames;
        script.averageFramesAtFirstRows = script.state->fpsMovingAverage.counter.frames;
    },
    [](float movingAverage) {
        Call("rows");
        script.averageFramesAtLastRows = script.state->fpsMovingAverage.counter.frames;
        script.movingAverageShown = movingAverage;
    },
    [] {
        Call("present");
        return script.present;
    },
    [] {
        Call("cooperative");
        return script.cooperativeLevel;
    },
    [] {
        Call("reset");
        return script.reset;
    },
    [] {
        Call("recreate");
        return script.recreate;
    },
    [] { Call("wait"); },
    [] { Call("message"); },
    [] { return script.seconds; },
    [] { return ++script.counter; },
    []() -> int64_t { return 4000; },
};

class Frames : public testing::Test {
protected:
    void SetUp() override {
        script = Script{};
        script.state = &state;
    }
    CheckState state;
    FrameState frame;
};

}  // namespace

// The FPS counter counts after the cube; the moving average between the
// CPU figure and the FPSMA row, which shows its value.
TEST_F(Frames, TheMetersCountBetweenTheirSteps) {
    state.fpsMovingAverage.readings = 8;
    for (int i = 0; i < 6; ++i) state.fpsMovingAverage.window.push_back(30.0f);
    DrawFrame(frame, state, scriptedSteps);
    EXPECT_EQ(script.fpsFramesAtFirstRows, 1);
    EXPECT_EQ(script.averageFramesAtFirstRows, 0);
    EXPECT_EQ(script.averageFramesAtLastRows, 1);
    EXPECT_EQ(script.movingAverageShown, 30.0f);
}

namespace {

enum class Kind { Idle, Paint };

struct Pass {
    Kind kind;
    float seconds;
    int32_t answer;       // Present's, or TestCooperativeLevel's while lost
    int32_t resetAnswer;  // the reset's, when the pass resets
    const char* calls;
    int32_t frames;       // in both frame-rate meters since their last reading
    float lastSeconds;    // that reading's time
    int32_t batchFrames;
    bool lost;
};

const char* const drawn = "cube rows rows present";
const char* const timed = "transforms cube rows rows present";

const Pass passes[] = {
    // The first frame closes the fifth batch of 1300 ms: the verdict is cleared.
    {Kind::Idle, 10.25f, deviceAnswerOk, 0, timed, 1, 10.0f, 0, false},
    {Kind::Paint, 10.5f, deviceAnswerOk, 0, drawn, 2, 10.0f, 0, false},
    // Any failed Present: taken back, and the device asked before the next frame.
    {Kind::Idle, 10.75f, invalidCall, 0, timed, 2, 10.0f, 0, true},
    {Kind::Idle, 11.0f, deviceAnswerOk, deviceAnswerOk, "cooperative reset", 0, 11.0f, 0, false},
    {Kind::Idle, 11.25f, deviceAnswerOk, 0, timed, 1, 11.0f, 1, false},
    // Would close a second at 12.5: taken back out of it instead.
    {Kind::Idle, 12.5f, deviceAnswerLost, 0, timed, 1, 11.0f, 1, true},
    {Kind::Paint, 12.75f, deviceAnswerOk, 0, "", 1, 11.0f, 1, true},
    {Kind::Idle, 13.0f, deviceAnswerLost, 0, "cooperative wait", 1, 11.0f, 1, true},
    {Kind::Idle, 13.5f, deviceAnswerNotReset, invalidCall, "cooperative reset wait", 1, 11.0f, 1, true},
    {Kind::Idle, 14.0f, deviceAnswerOk, outOfMemory, "cooperative reset wait", 1, 11.0f, 1, true},
    // Back: both meters start a new second here; the batch goes on.
    {Kind::Idle, 14.5f, deviceAnswerNotReset, deviceAnswerOk, "cooperative reset", 0, 14.5f, 1, false},
    {Kind::Idle, 15.0f, deviceAnswerOk, 0, timed, 1, 14.5f, 2, false},
    {Kind::Idle, 15.75f, deviceAnswerOk, 0, timed, 0, 15.75f, 3, false},
};

}  // namespace

TEST_F(Frames, OnlyFramesThatReachedTheScreenAreMeasuredAndARecoveryStartsANewSecond) {
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
        script.seconds = pass.seconds;
        script.present = pass.answer;
        script.cooperativeLevel = pass.answer;
        script.reset = pass.resetAnswer;
        if (pass.kind == Kind::Idle) RunTimedFrame(frame, state, scriptedSteps);
        else DrawFrame(frame, state, scriptedSteps);
        EXPECT_EQ(script.calls, pass.calls);
        EXPECT_EQ(state.fpsCounter.frames, pass.frames);
        EXPECT_EQ(state.fpsMovingAverage.counter.frames, pass.frames);
        EXPECT_EQ(state.fpsCounter.lastSeconds, pass.lastSeconds);
        EXPECT_EQ(state.fpsMovingAverage.counter.lastSeconds, pass.lastSeconds);
        EXPECT_EQ(state.frameBatchAverage.frames, pass.batchFrames);
        EXPECT_EQ(frame.deviceLost, pass.lost);
    }
    // The first second after recovery spans 14.5 to 15.75 and its two frames.
    EXPECT_EQ(state.fpsCounter.fps, 2.0f / 1.25f);
    EXPECT_EQ(state.fpsMovingAverage.readings, 9u);
    EXPECT_EQ(state.fpsMovingAverage.window[5], 2.0f / 1.25f);
    EXPECT_EQ(state.frameBatchAverage.batchMilliseconds, 3 * 0.25);
    EXPECT_NEAR(state.frameBatchAverage.average, 1043.210, 0.001);
    EXPECT_FALSE(state.canRunGame);
}

namespace {

// One timed frame at 10.25 s, the meters' second begun at 10 s.
void OneFrame(Script& on, FrameState& frame, CheckState& state) {
    state.fpsCounter.lastSeconds = 10.0f;
    state.fpsMovingAverage.counter.lastSeconds = 10.0f;
    on.seconds = 10.25f;
    RunTimedFrame(frame, state, scriptedSteps);
}

// Then a frame whose Present failed.
void PresentFailed(Script& on, FrameState& frame, CheckState& state) {
    OneFrame(on, frame, state);
    on.present = driverInternalError;
    on.seconds = 10.5f;
    RunTimedFrame(frame, state, scriptedSteps);
    on.calls.clear();
}

}  // namespace

TEST_F(Frames, ADeviceTheDriverGaveUpOnIsMadeAgainAndTheSecondStartsAnew) {
    PresentFailed(script, frame, state);
    script.cooperativeLevel = driverInternalError;
    script.seconds = 11.0f;
    RunTimedFrame(frame, state, scriptedSteps);
    EXPECT_EQ(script.calls, "cooperative recreate");
    EXPECT_FALSE(frame.deviceLost);
    EXPECT_EQ(state.fpsCounter.frames, 0);
    EXPECT_EQ(state.fpsCounter.lastSeconds, 11.0f);
    EXPECT_EQ(state.fpsMovingAverage.counter.lastSeconds, 11.0f);
    EXPECT_EQ(state.frameBatchAverage.frames, 1);
    EXPECT_TRUE(state.canRunGame);
}

TEST_F(Frames, WithoutANewDeviceTheMachineFailsAndNoFrameRunsAgain) {
    PresentFailed(script, frame, state);
    script.cooperativeLevel = driverInternalError;
    script.recreate = invalidCall;
    RunTimedFrame(frame, state, scriptedSteps);
    EXPECT_EQ(script.calls, "cooperative recreate");
    EXPECT_TRUE(state.deviceMissing);
    EXPECT_FALSE(state.canRunGame);
    script.calls.clear();
    RunTimedFrame(frame, state, scriptedSteps);
    EXPECT_EQ(script.calls, "message");
    script.calls.clear();
    EXPECT_FALSE(DrawFrame(frame, state, scriptedSteps));
    EXPECT_EQ(script.calls, "");
}

TEST_F(Frames, WhileMinimisedNoFrameRunsAndOnRestoreTheSecondStartsAnew) {
    OneFrame(script, frame, state);
    script.minimised = true;
    script.seconds = 30.0f;
    script.calls.clear();
    RunTimedFrame(frame, state, scriptedSteps);
    EXPECT_EQ(script.calls, "message");
    EXPECT_FALSE(DrawFrame(frame, state, scriptedSteps));
    EXPECT_EQ(script.calls, "message");
    EXPECT_EQ(state.fpsCounter.frames, 1);
    EXPECT_EQ(state.fpsCounter.lastSeconds, 10.0f);
    script.minimised = false;
    script.calls.clear();
    RunTimedFrame(frame, state, scriptedSteps);
    EXPECT_EQ(script.calls, "transforms cube rows rows present");
    EXPECT_EQ(state.fpsCounter.frames, 1);
    EXPECT_EQ(state.fpsCounter.lastSeconds, 30.0f);
    EXPECT_EQ(state.fpsMovingAverage.counter.lastSeconds, 30.0f);
    EXPECT_EQ(state.fpsMovingAverage.counter.frames, 1);
    EXPECT_EQ(state.frameBatchAverage.frames, 2);
}
