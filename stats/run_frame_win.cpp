#include "stats/run_frame_win.h"

#include "common/check_state.h"
#include "common/clock.h"
#include "render/frame_win.h"
#include "stats/meters.h"

void RunFrame(HWND window) {
    int64_t frequency = PerformanceFrequency();
    int64_t start = PerformanceCounter();
    SetFrameTransforms();
    RenderFrame(window);
    int64_t end = PerformanceCounter();
    AddTimedFrame(checkState.frameBatchAverage, FrameMilliseconds(start, end, frequency),
                  checkState.canRunGame);
}
