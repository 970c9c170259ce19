// The program on a machine fast enough to pass. Under Mesa's no-op driver
// (tests/windows.cmake), which draws nothing, a frame costs only its processor
// side, as on a graphics card near the frame rule's bar. The clocks are the
// real ones.
#include "method_patch_win.h"
#include "app/checker_win.h"
#include "common/check_state.h"
#include "common/verdict.h"
#include "frame/frame_win.h"
#include "render/scene_win.h"
#include "stats/meters.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

constexpr wchar_t className[] = L"GralvenClass";
// The verdict comes after about 10 s at the no-op driver's frame rate; a
// loaded machine may take several times that.
constexpr ULONGLONG settleLimitMilliseconds = 120000;
constexpr UINT watchMilliseconds = 100;
constexpr int cachedTextFrames = 3000;

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

Status StatusRow() {
    return ChooseStatus(checkState, MovingAverageOf(checkState.fpsMovingAverage));
}

// The message loop's run, watched by a thread timer that the loop dispatches.
struct LoopRun {
    HWND window = nullptr;
    ULONGLONG start = 0;
    ULONGLONG settledAfter = 0;  // 0 until the status row shows a verdict
} loopRun;

// Once the status row shows a verdict, or the limit has passed, Escape ends
// the window as a player's would.
void CALLBACK WatchStatusRow(HWND, UINT, UINT_PTR timer, DWORD) {
    const ULONGLONG elapsed = GetTickCount64() - loopRun.start;
    const bool settled = StatusRow() != Status::Measuring;
    if (!settled && elapsed < settleLimitMilliseconds) return;
    if (settled) loopRun.settledAfter = elapsed;
    KillTimer(nullptr, timer);
    PostMessageW(loopRun.window, WM_KEYDOWN, VK_ESCAPE, 0);
}

// A window of the checker's class with the device made on it, as the program
// makes them, from a fresh state.
class FastMachine : public testing::Test {
protected:
    void SetUp() override {
        checkState = CheckState{};
        frameState = FrameState{};
        ASSERT_TRUE(RegisterMainClass(Instance()));
        window = CreateWindowExW(0, className, L"", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 200,
                                 50, 800, 600, nullptr, nullptr, Instance(), nullptr);
        ASSERT_NE(window, nullptr);
        ShowWindow(window, SW_SHOW);
        ASSERT_EQ(InitDirect3D(window), S_OK);
    }
    void TearDown() override {
        if (IsWindow(window)) DestroyWindow(window);
        ReleaseAll();
        UnregisterMainClass(Instance());
    }
    HWND window = nullptr;
};

// IDirect3DDevice9::Present (slot 17) and IDirect3DTexture9::LockRect (19),
// through which a text is drawn into its texture, counted.
using PresentMethod = HRESULT(WINAPI*)(IDirect3DDevice9*, const RECT*, const RECT*, HWND,
                                       const RGNDATA*);
using LockRectMethod = HRESULT(WINAPI*)(IDirect3DTexture9*, UINT, D3DLOCKED_RECT*, const RECT*,
                                        DWORD);
PresentMethod realPresent = nullptr;
LockRectMethod realLockRect = nullptr;
int presents = 0;
int textureLocks = 0;

HRESULT WINAPI CountPresent(IDirect3DDevice9* device, const RECT* source, const RECT* target,
                            HWND window, const RGNDATA* region) {
    ++presents;
    return realPresent(device, source, target, window, region);
}
HRESULT WINAPI CountLockRect(IDirect3DTexture9* texture, UINT level, D3DLOCKED_RECT* locked,
                             const RECT* rect, DWORD flags) {
    ++textureLocks;
    return realLockRect(texture, level, locked, rect, flags);
}

// Counts every texture's locks: all textures share the method table of one
// made here.
void CountTextureLocks(IDirect3DDevice9* device) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(1, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture,
                                    nullptr),
              D3D_OK);
    Patch(texture, 19, CountLockRect, realLockRect);
    texture->Release();
}

// What the rows that change while the program runs show: the FPS figure, the
// moving average, the batch average and the status row.
struct ShownFigures {
    float fps;
    float movingAverage;
    double batchAverage;
    Status status;
};

ShownFigures Shown() {
    return {checkState.fpsCounter.fps, MovingAverageOf(checkState.fpsMovingAverage),
            checkState.frameBatchAverage.average, StatusRow()};
}

int Changes(const ShownFigures& before, const ShownFigures& after) {
    return (before.fps != after.fps) + (before.movingAverage != after.movingAverage) +
           (before.batchAverage != after.batchAverage) + (before.status != after.status);
}

}  // namespace

TEST_F(FastMachine, TheMessageLoopSettlesOnThePositiveVerdict) {
    loopRun = LoopRun{window, GetTickCount64(), 0};
    SetTimer(nullptr, 0, watchMilliseconds, WatchStatusRow);
    RunMessageLoop(window);
    const FrameBatchAverage& batch = checkState.frameBatchAverage;
    std::printf("settled after %.1f s; batch average %.3f ms; %.1f frames/s (FPSMA %.1f)\n",
                loopRun.settledAfter / 1000.0, batch.average, checkState.fpsCounter.fps,
                MovingAverageOf(checkState.fpsMovingAverage));
    EXPECT_EQ(batch.batches.size(), 5u);
    EXPECT_GT(batch.average, 0.0);
    EXPECT_LT(batch.average, 1000.0);
    EXPECT_TRUE(checkState.canRunGame);
    EXPECT_EQ(StatusRow(), Status::CanRun);
}

// Each row's text is drawn into a texture once and kept: over thousands of
// frames a text is drawn again only when what it shows changed.
TEST_F(FastMachine, ARowsTextIsDrawnAgainOnlyWhenItChanges) {
    IDirect3DDevice9* device = sceneResources.device;
    for (int i = 0; i < 10; ++i) RunFrame(window);  // every row drawn once
    CountTextureLocks(device);
    Patch(device, 17, CountPresent, realPresent);
    presents = textureLocks = 0;
    int changes = 0;
    ShownFigures before = Shown();
    for (int i = 0; i < cachedTextFrames; ++i) {
        RunFrame(window);
        const ShownFigures after = Shown();
        changes += Changes(before, after);
        before = after;
    }
    std::printf("%d frames: %d texts drawn again, %d changes of the figures shown\n", presents,
                textureLocks, changes);
    EXPECT_EQ(presents, cachedTextFrames);
    EXPECT_LE(textureLocks, changes);
}
