#pragma once

#include "common/check_state.h"

#include <cstdint>

// The device's answers that decide what becomes of a frame and of a lost
// device, as Direct3D 9 defines them (checked against d3d9.h where that
// builds): D3D_OK, D3DERR_DEVICELOST, D3DERR_DEVICENOTRESET.
constexpr int32_t deviceAnswerOk = 0;
constexpr int32_t deviceAnswerLost = static_cast<int32_t>(0x88760868u);
constexpr int32_t deviceAnswerNotReset = static_cast<int32_t>(0x88760869u);

// Whether frames reach the screen. A frame whose Present answers that the
// device is lost, and every frame while it stays lost, measures nothing: a
// lost device makes frames almost free, and counting them would read a slow
// machine as a fast one. The two frame-rate meters are kept as they stood
// before the frame in progress, to take that frame back out of them.
struct DeviceLoss {
    bool lost = false;
    FpsCounter fpsCounterBefore;
    FpsMovingAverage fpsMovingAverageBefore;
};

extern DeviceLoss deviceLoss;

// Before a frame is drawn: false while the device is lost (draw nothing,
// count nothing).
bool BeginFrame(DeviceLoss& loss, const CheckState& state);

// After the frame's Present, with its answer: true when the frame reached
// the screen and counts (any answer but "lost": a frame whose render failed
// otherwise still counts). On "lost" both frame-rate meters go back to where
// they stood before the frame and the device is marked lost.
bool EndFrame(DeviceLoss& loss, CheckState& state, int32_t presentAnswer);

enum class LostDevicePass : uint8_t {
    Wait,   // still lost: nothing to do but wait for the next pass
    Reset,  // the device can be reset (or works already): reset it now
};

// An idle pass while the device is lost, by TestCooperativeLevel's answer.
LostDevicePass ChooseLostDevicePass(int32_t cooperativeLevel);

// After the reset, with its answer: true when the device is back. The two
// frame-rate meters then start a new second at nowSeconds, so the time spent
// lost is not read as a slow second; the batch in progress keeps its frames
// and goes on. A failed reset leaves the device lost, to be tried again on a
// later pass.
bool EndReset(DeviceLoss& loss, CheckState& state, int32_t resetAnswer, float nowSeconds);
