#include "stats/run_frame_win.h"

#include "common/check_state.h"
#include "common/clock.h"
#include "render/device_loss.h"
#include "render/frame_win.h"
#include "render/scene_win.h"
#include "stats/meters.h"

namespace {

// Between two passes over a lost device: long enough not to keep a core
// busy, and a message ends the wait at once.
constexpr DWORD lostDeviceWaitMilliseconds = 50;

void RunLostDevicePass() {
    IDirect3DDevice9* device = sceneResources.device;
    if (device && ChooseLostDevicePass(device->TestCooperativeLevel()) == LostDevicePass::Reset &&
        EndReset(deviceLoss, checkState, ResetSceneDevice(), TickSeconds())) {
        return;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, lostDeviceWaitMilliseconds, QS_ALLINPUT);
}

}  // namespace

void RunFrame(HWND window) {
    // Nothing to measure without a device: the loop sleeps until a message.
    if (!sceneResources.device) {
        WaitMessage();
        return;
    }
    if (deviceLoss.lost) {
        RunLostDevicePass();
        return;
    }
    int64_t frequency = PerformanceFrequency();
    int64_t start = PerformanceCounter();
    SetFrameTransforms();
    bool reachedScreen = RenderFrame(window);
    int64_t end = PerformanceCounter();
    if (!reachedScreen) return;
    AddTimedFrame(checkState.frameBatchAverage, FrameMilliseconds(start, end, frequency),
                  checkState.canRunGame);
}
