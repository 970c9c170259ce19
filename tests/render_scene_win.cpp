#include "render_scene_win.h"

#include "common/check_state.h"
#include "common/clock.h"
#include "render/frame_win.h"
#include "render/scene_win.h"
#include "render_window_win.h"

#include <cstring>

uint32_t fakeTick = 0;

namespace {
int64_t fakeCounter = 0;
wchar_t startDirectory[MAX_PATH] = {};
}  // namespace

uint32_t TickMilliseconds() { return fakeTick; }
int64_t PerformanceCounter() { return fakeCounter += 250; }
int64_t PerformanceFrequency() { return 1000; }

HWND SceneTest::window = nullptr;

void SceneTest::SetUpTestSuite() {
    GetCurrentDirectoryW(MAX_PATH, startDirectory);
    window = CreateSceneWindow();
}

void SceneTest::TearDownTestSuite() {
    DestroySceneWindow(window);
    window = nullptr;
}

void SceneTest::SetUp() {
    ASSERT_NE(window, nullptr);
    checkState = CheckState{};
    fakeTick = 0;
    ASSERT_TRUE(SetCurrentDirectoryW(folder));
    ASSERT_EQ(InitDirect3D(window), S_OK);
}

void SceneTest::TearDown() {
    ReleaseSceneResources();
    SetCurrentDirectoryW(startDirectory);
}

bool FramePixels::Has(uint32_t colour, int top, int bottom, int left, int right) const {
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            if (At(x, y) == colour) return true;
        }
    }
    return false;
}

FramePixels CaptureFrame(HWND window, bool setTransforms) {
    FramePixels frame;
    IDirect3DDevice9* device = sceneResources.device;
    IDirect3DSurface9* target = nullptr;
    IDirect3DSurface9* backBuffer = nullptr;
    IDirect3DSurface9* copy = nullptr;
    if (device->CreateRenderTarget(800, 600, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE, &target,
                                   nullptr) == S_OK &&
        device->GetRenderTarget(0, &backBuffer) == S_OK &&
        device->CreateOffscreenPlainSurface(800, 600, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &copy,
                                            nullptr) == S_OK) {
        device->SetRenderTarget(0, target);
        if (setTransforms) SetFrameTransforms();
        RenderFrame(window);
        device->SetRenderTarget(0, backBuffer);
        D3DLOCKED_RECT locked{};
        if (device->GetRenderTargetData(target, copy) == S_OK &&
            copy->LockRect(&locked, nullptr, D3DLOCK_READONLY) == S_OK) {
            frame.pixels.resize(800 * 600);
            for (int y = 0; y < 600; ++y) {
                std::memcpy(&frame.pixels[y * 800u], static_cast<char*>(locked.pBits) + y * locked.Pitch,
                            800 * 4);
            }
            copy->UnlockRect();
        }
    }
    for (IDirect3DSurface9* surface : {copy, backBuffer, target}) {
        if (surface) surface->Release();
    }
    if (frame.pixels.empty()) ADD_FAILURE() << "the frame could not be drawn and read back";
    return frame;
}
