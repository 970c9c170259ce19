// The program's own loop on the real clocks under Mesa's no-op driver
// (tests/windows.cmake), which draws nothing: a frame costs its processor
// side alone, as on a graphics card near the frame rule's bar.
#include "app/checker_win.h"
#include "common/check_state.h"
#include "common/verdict.h"
#include "render/scene_win.h"
#include "stats/meters.h"

#include <gtest/gtest.h>

namespace {

// The verdict comes after about 10 s at the no-op driver's frame rate; a
// loaded machine may take several times that.
constexpr ULONGLONG settleLimitMilliseconds = 120000;
ULONGLONG loopStart = 0;

Status StatusRow() {
    return ChooseStatus(checkState, MovingAverageOf(checkState.fpsMovingAverage));
}

// Once the status row shows a verdict, or the limit has passed, the loop ends.
void CALLBACK WatchStatusRow(HWND, UINT, UINT_PTR timer, DWORD) {
    const ULONGLONG elapsed = GetTickCount64() - loopStart;
    if (StatusRow() == Status::Measuring && elapsed < settleLimitMilliseconds) return;
    KillTimer(nullptr, timer);
    PostQuitMessage(0);
}

}  // namespace

TEST(FastMachine, TheMessageLoopSettlesOnThePositiveVerdict) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    ASSERT_TRUE(RegisterMainClass(instance));
    HWND window = CreateWindowExW(0, L"GralvenClass", L"", WS_CAPTION, 200, 50, 800, 600, nullptr,
                                  nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOW);
    ASSERT_EQ(InitDirect3D(window), S_OK);
    loopStart = GetTickCount64();
    SetTimer(nullptr, 0, 100, WatchStatusRow);
    RunMessageLoop(window);
    UnregisterMainClass(instance);
    EXPECT_EQ(StatusRow(), Status::CanRun);
}
