#include "common/check_state.h"
#include "render/cube.h"
#include "render/frame_win.h"
#include "render/scene_win.h"
#include "render_scene_win.h"
#include "render_window_win.h"
#include "stats/run_frame_win.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST_F(SceneTest, InitDirect3DCreatesEachObjectOnceWithTheGivenParameters) {
    IDirect3DDevice9* device = sceneResources.device;
    ASSERT_NE(device, nullptr);
    for (ID3DXFont* font : sceneResources.fonts) EXPECT_NE(font, nullptr);
    ASSERT_NE(sceneResources.cubeTexture, nullptr);
    EXPECT_EQ(sceneResources.cubeTexture->GetLevelCount(), 6u);
    D3DSURFACE_DESC level{};
    sceneResources.cubeTexture->GetLevelDesc(0, &level);
    EXPECT_EQ(level.Width, 64u);
    EXPECT_EQ(level.Height, 64u);
    EXPECT_EQ(level.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(level.Pool, D3DPOOL_MANAGED);
    EXPECT_EQ(InitDirect3D(window), E_FAIL);  // nothing is created twice
    EXPECT_EQ(sceneResources.device, device);

    IDirect3DSwapChain9* swapChain = nullptr;
    ASSERT_EQ(device->GetSwapChain(0, &swapChain), S_OK);
    D3DPRESENT_PARAMETERS parameters{};
    swapChain->GetPresentParameters(&parameters);
    swapChain->Release();
    EXPECT_EQ(parameters.BackBufferWidth, 800u);
    EXPECT_EQ(parameters.BackBufferHeight, 600u);
    EXPECT_EQ(parameters.BackBufferFormat, D3DFMT_A8R8G8B8);
    EXPECT_EQ(parameters.BackBufferCount, 2u);
    EXPECT_EQ(parameters.SwapEffect, D3DSWAPEFFECT_DISCARD);
    EXPECT_TRUE(parameters.Windowed && parameters.EnableAutoDepthStencil);
    EXPECT_EQ(parameters.AutoDepthStencilFormat, D3DFMT_D24S8);
    EXPECT_EQ(parameters.PresentationInterval, D3DPRESENT_INTERVAL_IMMEDIATE);
    D3DCAPS9 caps{};
    device->GetDeviceCaps(&caps);
    D3DDEVICE_CREATION_PARAMETERS creation{};
    device->GetCreationParameters(&creation);
    EXPECT_EQ(creation.DeviceType, D3DDEVTYPE_HAL);
    EXPECT_EQ(creation.BehaviorFlags, (caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT)
                                          ? DWORD(D3DCREATE_HARDWARE_VERTEXPROCESSING)
                                          : DWORD(D3DCREATE_SOFTWARE_VERTEXPROCESSING));
}

TEST_F(SceneTest, FixedStatesMaterialAndBuffersReadBackAsGiven) {
    IDirect3DDevice9* device = sceneResources.device;
    const struct {
        D3DRENDERSTATETYPE state;
        DWORD value;
    } renderStates[] = {{D3DRS_CULLMODE, D3DCULL_CCW}, {D3DRS_AMBIENT, 0xFFFFFFFF}, {D3DRS_LIGHTING, TRUE}};
    for (const auto& expected : renderStates) {
        DWORD value = 0;
        device->GetRenderState(expected.state, &value);
        EXPECT_EQ(value, expected.value) << "render state " << expected.state;
    }
    const struct {
        D3DSAMPLERSTATETYPE state;
        DWORD value;
    } samplerStates[] = {{D3DSAMP_MAXANISOTROPY, 3}, {D3DSAMP_MAGFILTER, D3DTEXF_ANISOTROPIC},
                         {D3DSAMP_MINFILTER, D3DTEXF_ANISOTROPIC}, {D3DSAMP_MIPFILTER, D3DTEXF_NONE},
                         {D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP}};
    for (const auto& expected : samplerStates) {
        DWORD value = 0;
        device->GetSamplerState(0, expected.state, &value);
        EXPECT_EQ(value, expected.value) << "sampler state " << expected.state;
    }
    D3DMATERIAL9 material{};
    device->GetMaterial(&material);
    const D3DMATERIAL9 expected{{1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}, {0, 0, 0, 0}, 0};
    EXPECT_EQ(std::memcmp(&material, &expected, sizeof material), 0);

    D3DVERTEXBUFFER_DESC vertexDesc{};
    sceneResources.vertexBuffer->GetDesc(&vertexDesc);
    EXPECT_EQ(vertexDesc.FVF, DWORD(D3DFVF_XYZ | D3DFVF_TEX1));
    EXPECT_EQ(vertexDesc.Pool, D3DPOOL_DEFAULT);
    D3DINDEXBUFFER_DESC indexDesc{};
    sceneResources.indexBuffer->GetDesc(&indexDesc);
    EXPECT_EQ(indexDesc.Format, D3DFMT_INDEX16);
    EXPECT_EQ(vertexDesc.Size, 480u);
    EXPECT_EQ(indexDesc.Size, 72u);
    void* data = nullptr;
    ASSERT_EQ(sceneResources.vertexBuffer->Lock(0, 0, &data, D3DLOCK_READONLY), S_OK);
    EXPECT_EQ(std::memcmp(data, cubeVertices, 480), 0);
    sceneResources.vertexBuffer->Unlock();
    ASSERT_EQ(sceneResources.indexBuffer->Lock(0, 0, &data, D3DLOCK_READONLY), S_OK);
    EXPECT_EQ(std::memcmp(data, cubeIndices, 72), 0);
    sceneResources.indexBuffer->Unlock();
}

TEST_F(SceneTest, FontsAndAdapterLineFollowTheirTables) {
    const wchar_t* faces[3] = {L"华文中宋", L"微软雅黑", L"黑体"};
    for (int index = 0; index < 3; ++index) {
        D3DXFONT_DESCW desc{};
        sceneResources.fonts[index]->GetDescW(&desc);
        EXPECT_EQ(desc.Height, 20 + 3 * index);
        EXPECT_EQ(desc.Weight, 1000u);
        EXPECT_EQ(desc.CharSet, DEFAULT_CHARSET);
        EXPECT_EQ(std::wstring(desc.FaceName), faces[index]);
    }
    IDirect3D9* direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DADAPTER_IDENTIFIER9 identifier{};
    direct3d->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0, &identifier);
    direct3d->Release();
    wchar_t description[512] = {};
    ASSERT_GT(MultiByteToWideChar(CP_ACP, 0, identifier.Description, -1, description, 512), 1);
    EXPECT_EQ(std::wstring(checkState.adapterLine), L"当前显卡型号：" + std::wstring(description).substr(0, 52));
}

static void ExpectUntexturedWhiteCube(HWND window) {
    EXPECT_EQ(sceneResources.cubeTexture, nullptr);
    FramePixels frame = CaptureFrame(window, true);
    ASSERT_FALSE(frame.pixels.empty());
    EXPECT_EQ(frame.At(400, 300), 0xFFFFFFFFu);
    EXPECT_EQ(frame.At(230, 130), 0xFFFFFFFFu);
}

TEST_F(UntexturedSceneTest, WithoutNpcPngInitSucceedsAndTheCubeIsLitWhite) {
    ExpectUntexturedWhiteCube(window);
}

// An "npc.png" of random bytes is refused by the loader like a missing one.
TEST_F(CorruptTextureSceneTest, WithRandomBytesAsNpcPngInitSucceedsUntextured) {
    ExpectUntexturedWhiteCube(window);
}

TEST_F(SceneTest, TransformsTurnAboutXThenYThenZSeenFromFiftyUnitsAway) {
    fakeTick = 1000;  // pi about X, pi/2 about Y, pi/3 about Z
    SetFrameTransforms();
    IDirect3DDevice9* device = sceneResources.device;
    D3DMATRIX world{};
    D3DMATRIX view{};
    D3DMATRIX projection{};
    device->GetTransform(D3DTS_WORLD, &world);
    device->GetTransform(D3DTS_VIEW, &view);
    device->GetTransform(D3DTS_PROJECTION, &projection);
    const float turned[3][3] = {{0, 0, -1}, {0.8660254f, -0.5f, 0}, {-0.5f, -0.8660254f, 0}};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(world.m[r][c], turned[r][c], 1e-6f) << r << c;
    }
    EXPECT_EQ(view._11 + view._22 + view._33 + view._44, 4.0f);
    EXPECT_EQ(view._43, 50.0f);
    EXPECT_NEAR(projection._22, 2.4142136f, 1e-6f);  // 1 / tan(pi / 8)
    EXPECT_NEAR(projection._11, 2.4142136f * 0.75f, 1e-6f);
    EXPECT_NEAR(projection._33, 1000.0f / 999.0f, 1e-6f);
    EXPECT_NEAR(projection._43, -1000.0f / 999.0f, 1e-6f);
    EXPECT_EQ(projection._34, 1.0f);
    D3DVIEWPORT9 viewport{};
    device->GetViewport(&viewport);
    const D3DVIEWPORT9 expected{0, 0, 800, 600, 0.0f, 1.0f};
    EXPECT_EQ(std::memcmp(&viewport, &expected, sizeof viewport), 0);
}

TEST_F(SceneTest, ReleaseClearsEveryObjectAndIsSafeTwice) {
    ReleaseSceneResources();
    ReleaseSceneResources();
    const SceneResources empty{};
    EXPECT_EQ(std::memcmp(&sceneResources, &empty, sizeof empty), 0);
    SetFrameTransforms();
    RenderFrame(window);
    EXPECT_EQ(checkState.fpsCounter.frames, 1);
}

// Run with d3dx9_43 switched off (see tests/render.cmake).
TEST(WithoutD3dx, InitDirect3DFailsAndFramesStillRunAndCount) {
    HMODULE d3dxModule = LoadLibraryW(L"d3dx9_43.dll");
    if (d3dxModule) FreeLibrary(d3dxModule);
    ASSERT_EQ(d3dxModule, nullptr) << "d3dx9_43 is loadable: run with WINEDLLOVERRIDES=d3dx9_43=d";
    HWND window = CreateSceneWindow();
    checkState = CheckState{};
    fakeTick = 0;
    EXPECT_EQ(InitDirect3D(window), E_FAIL);
    const SceneResources empty{};
    EXPECT_EQ(std::memcmp(&sceneResources, &empty, sizeof empty), 0);
    EXPECT_EQ(checkState.adapterLine[0], L'\0');
    SetFrameTransforms();
    RenderFrame(window);
    RunFrame(window);
    EXPECT_EQ(checkState.fpsCounter.frames, 2);
    EXPECT_EQ(checkState.fpsMovingAverage.frames, 2);
    EXPECT_EQ(checkState.frameBatchAverage.batchMilliseconds, 250.0);
    ReleaseSceneResources();
    DestroySceneWindow(window);
}
