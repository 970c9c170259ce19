#include "common/check_state.h"
#include "render/device_loss.h"
#include "stats/meters.h"

#include <gtest/gtest.h>

namespace {

// D3DERR_INVALIDCALL, D3DERR_DRIVERINTERNALERROR, E_OUTOFMEMORY
constexpr int32_t invalidCall = static_cast<int32_t>(0x8876086Cu);
constexpr int32_t driverInternalError = static_cast<int32_t>(0x88760827u);
constexpr int32_t outOfMemory = static_cast<int32_t>(0x8007000Eu);
constexpr double frameMilliseconds = 0.25;

enum class Kind { Idle, Paint };
enum class Outcome { Counted, Painted, TakenBack, NotDrawn, Waited, ResetFailed, Back };

struct Pass {
    Kind kind;
    float seconds;
    int32_t answer;       // Present's, or TestCooperativeLevel's while lost
    int32_t resetAnswer;  // the reset's, when the pass resets
    Outcome outcome;
    int32_t frames;       // in both frame-rate meters since their last reading
    float lastSeconds;    // that reading's time
    int32_t batchFrames;
    bool lost;
};

// A pass as the message loop (Idle) or a paint message makes it, with the
// device's answers scripted.
Outcome RunPass(DeviceLoss& loss, CheckState& state, const Pass& pass) {
    if (pass.kind == Kind::Idle && loss.lost) {
        if (ChooseLostDevicePass(pass.answer) == LostDevicePass::Wait) return Outcome::Waited;
        return EndReset(loss, state, pass.resetAnswer, pass.seconds) ? Outcome::Back
                                                                     : Outcome::ResetFailed;
    }
    if (!BeginFrame(loss, state)) return Outcome::NotDrawn;
    TickFpsCounterAt(state.fpsCounter, pass.seconds);
    UpdateFpsMovingAverageAt(state.fpsMovingAverage, pass.seconds);
    if (!EndFrame(loss, state, pass.answer)) return Outcome::TakenBack;
    if (pass.kind == Kind::Paint) return Outcome::Painted;
    AddTimedFrame(state.frameBatchAverage, frameMilliseconds, state.canRunGame);
    return Outcome::Counted;
}

const Pass passes[] = {
    // The first frame closes the fifth batch of 1300 ms: the verdict is cleared.
    {Kind::Idle, 10.25f, deviceAnswerOk, 0, Outcome::Counted, 1, 10.0f, 0, false},
    {Kind::Paint, 10.5f, deviceAnswerOk, 0, Outcome::Painted, 2, 10.0f, 0, false},
    {Kind::Idle, 10.75f, invalidCall, 0, Outcome::Counted, 3, 10.0f, 1, false},
    // Would close a second at 11.5: taken back out of it instead.
    {Kind::Idle, 11.5f, deviceAnswerLost, 0, Outcome::TakenBack, 3, 10.0f, 1, true},
    {Kind::Paint, 11.75f, deviceAnswerOk, 0, Outcome::NotDrawn, 3, 10.0f, 1, true},
    {Kind::Idle, 12.0f, deviceAnswerLost, 0, Outcome::Waited, 3, 10.0f, 1, true},
    {Kind::Idle, 12.5f, driverInternalError, 0, Outcome::Waited, 3, 10.0f, 1, true},
    {Kind::Idle, 13.0f, deviceAnswerNotReset, invalidCall, Outcome::ResetFailed, 3, 10.0f, 1, true},
    {Kind::Idle, 13.5f, deviceAnswerOk, outOfMemory, Outcome::ResetFailed, 3, 10.0f, 1, true},
    // Back: both meters start a new second here; the batch goes on.
    {Kind::Idle, 14.0f, deviceAnswerNotReset, deviceAnswerOk, Outcome::Back, 0, 14.0f, 1, false},
    {Kind::Idle, 14.5f, deviceAnswerOk, 0, Outcome::Counted, 1, 14.0f, 2, false},
    {Kind::Idle, 15.25f, deviceAnswerOk, 0, Outcome::Counted, 0, 15.25f, 3, false},
};

}  // namespace

TEST(DeviceLoss, OnlyFramesThatReachedTheScreenAreMeasuredAndRecoveryStartsANewSecond) {
    CheckState state;
    state.fpsCounter.lastSeconds = 10.0f;
    state.fpsMovingAverage.lastSeconds = 10.0f;
    state.fpsMovingAverage.readings = 8;
    for (int i = 0; i < 6; ++i) state.fpsMovingAverage.window.push_back(60.0f);
    for (int i = 0; i < 4; ++i) state.frameBatchAverage.batches.push_back(1300.0);
    state.frameBatchAverage.frames = 3000;
    state.frameBatchAverage.batchMilliseconds = 1300.0 - frameMilliseconds;
    DeviceLoss loss;
    int step = 0;
    for (const Pass& pass : passes) {
        ++step;
        EXPECT_EQ(RunPass(loss, state, pass), pass.outcome) << "pass " << step;
        EXPECT_EQ(state.fpsCounter.frames, pass.frames) << "pass " << step;
        EXPECT_EQ(state.fpsMovingAverage.frames, pass.frames) << "pass " << step;
        EXPECT_EQ(state.fpsCounter.lastSeconds, pass.lastSeconds) << "pass " << step;
        EXPECT_EQ(state.fpsMovingAverage.lastSeconds, pass.lastSeconds) << "pass " << step;
        EXPECT_EQ(state.frameBatchAverage.frames, pass.batchFrames) << "pass " << step;
        EXPECT_EQ(loss.lost, pass.lost) << "pass " << step;
    }
    // The first second after recovery spans 14 to 15.25 and its two frames.
    EXPECT_EQ(state.fpsCounter.fps, 2.0f / 1.25f);
    EXPECT_EQ(state.fpsMovingAverage.readings, 9u);
    EXPECT_EQ(state.fpsMovingAverage.window[5], 2.0f / 1.25f);
    EXPECT_EQ(state.frameBatchAverage.batchMilliseconds, 3 * frameMilliseconds);
    EXPECT_NEAR(state.frameBatchAverage.average, 1043.210, 0.001);
    EXPECT_FALSE(state.canRunGame);
}
