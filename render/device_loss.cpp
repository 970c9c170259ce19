#include "render/device_loss.h"

#include "stats/meters.h"

DeviceLoss deviceLoss;

bool BeginFrame(DeviceLoss& loss, const CheckState& state) {
    if (loss.lost) return false;
    loss.fpsCounterBefore = state.fpsCounter;
    loss.fpsMovingAverageBefore = state.fpsMovingAverage;
    return true;
}

bool EndFrame(DeviceLoss& loss, CheckState& state, int32_t presentAnswer) {
    if (presentAnswer != deviceAnswerLost) return true;
    state.fpsCounter = loss.fpsCounterBefore;
    state.fpsMovingAverage = loss.fpsMovingAverageBefore;
    loss.lost = true;
    return false;
}

// A device that works again is reset all the same (Direct3D allows it): a
// reset whose Reset worked but whose cube buffers could not be built leaves
// it so, and the next reset builds them. Any other answer is waited out.
LostDevicePass ChooseLostDevicePass(int32_t cooperativeLevel) {
    if (cooperativeLevel == deviceAnswerNotReset || cooperativeLevel == deviceAnswerOk) {
        return LostDevicePass::Reset;
    }
    return LostDevicePass::Wait;
}

bool EndReset(DeviceLoss& loss, CheckState& state, int32_t resetAnswer, float nowSeconds) {
    if (resetAnswer != deviceAnswerOk) return false;
    loss.lost = false;
    RestartFrameRateSeconds(state, nowSeconds);
    return true;
}
