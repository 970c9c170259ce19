#include "common/check_state.h"
#include "common/clock.h"
#include "render/device_loss.h"
#include "render/frame_win.h"
#include "render/scene_win.h"
#include "render_scene_win.h"
#include "stats/run_frame_win.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Under Wine a Reset refused because the cube's buffers are alive leaves the
// device as a real loss does: answering "not reset", its Present "lost". Its
// frame is only that Present: anything drawn on a device left so makes Mesa's
// rasteriser fault now and then, where a really lost device ignores draws.
void LoseDeviceDuringAFrame() {
    IDirect3DDevice9* device = sceneResources.device;
    IDirect3DSwapChain9* swapChain = nullptr;
    ASSERT_EQ(device->GetSwapChain(0, &swapChain), S_OK);
    D3DPRESENT_PARAMETERS parameters{};
    swapChain->GetPresentParameters(&parameters);
    swapChain->Release();
    ASSERT_EQ(device->Reset(&parameters), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    ASSERT_TRUE(BeginFrame(deviceLoss, checkState));
    HRESULT presented = device->Present(nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(presented, D3DERR_DEVICELOST);
    EXPECT_FALSE(EndFrame(deviceLoss, checkState, presented));
}

// The states the scene sets, and a reset drops.
std::vector<DWORD> FixedStates() {
    std::vector<DWORD> values;
    IDirect3DDevice9* device = sceneResources.device;
    for (D3DRENDERSTATETYPE state : {D3DRS_CULLMODE, D3DRS_AMBIENT}) {
        device->GetRenderState(state, &values.emplace_back());
    }
    for (D3DSAMPLERSTATETYPE state :
         {D3DSAMP_MAXANISOTROPY, D3DSAMP_MAGFILTER, D3DSAMP_MINFILTER}) {
        device->GetSamplerState(0, state, &values.emplace_back());
    }
    D3DMATERIAL9 material{};
    device->GetMaterial(&material);
    values.push_back(material.Ambient.r == 1.0f && material.Diffuse.a == 1.0f);
    return values;
}

// The picture at two ticks: the cube unturned, then turned half a second on.
std::vector<FramePixels> ScenePictures(HWND window) {
    std::vector<FramePixels> pictures;
    for (uint32_t tick : {0u, 500u}) {
        fakeTick = tick;
        pictures.push_back(CaptureFrame(window, true));
    }
    return pictures;
}

}  // namespace

TEST_F(SceneTest, LostDeviceMeasuresNothingAndIsResetToTheSamePictureTwice) {
    checkState.cpuLine = L"CPU型号: Test CPU";
    const std::vector<DWORD> states = FixedStates();
    const std::vector<FramePixels> before = ScenePictures(window);
    ASSERT_FALSE(before[0].pixels.empty() || before[1].pixels.empty());
    EXPECT_EQ(before[0].At(264, 164), 0xFFC81E1Eu);  // the image's red quadrant
    EXPECT_TRUE(before[0].Has(0xFF00EF88, 30, 53, 0, 150) && before[0].Has(0xFFEB7BE6, 500, 526));
    EXPECT_TRUE(before[0].pixels != before[1].pixels);  // the cube turns
    IDirect3DTexture9* texture = sceneResources.cubeTexture;
    for (uint32_t loss = 1; loss <= 2; ++loss) {
        RunFrame(window);
        const FpsCounter counter = checkState.fpsCounter;
        const int32_t batchFrames = checkState.frameBatchAverage.frames;
        LoseDeviceDuringAFrame();
        EXPECT_TRUE(deviceLoss.lost);
        fakeTick = 5000 * loss;  // late enough to close a second
        EXPECT_FALSE(RenderFrame(window));  // as for a paint message: nothing drawn or counted
        EXPECT_EQ(checkState.fpsCounter.frames, counter.frames);
        EXPECT_EQ(checkState.fpsCounter.lastSeconds, counter.lastSeconds);
        fakeTick += 1000;
        RunFrame(window);  // asks the device, which can be reset now
        EXPECT_FALSE(deviceLoss.lost);
        EXPECT_EQ(sceneResources.device->TestCooperativeLevel(), D3D_OK);
        EXPECT_EQ(checkState.fpsCounter.lastSeconds, TickToSeconds(fakeTick));
        EXPECT_EQ(checkState.fpsCounter.frames, 0);
        EXPECT_EQ(sceneResources.cubeTexture, texture);
        EXPECT_EQ(FixedStates(), states);
        EXPECT_EQ(checkState.frameBatchAverage.frames, batchFrames);
        RunFrame(window);  // presents again and enters the batch
        EXPECT_EQ(checkState.frameBatchAverage.frames, batchFrames + 1);
        const std::vector<FramePixels> after = ScenePictures(window);
        EXPECT_TRUE(after[0].pixels == before[0].pixels && after[1].pixels == before[1].pixels)
            << "loss " << loss;
    }
    LoseDeviceDuringAFrame();  // then closed while lost: released as ever
    ReleaseSceneResources();
    EXPECT_FALSE(deviceLoss.lost);
    EXPECT_EQ(sceneResources.device, nullptr);
}
