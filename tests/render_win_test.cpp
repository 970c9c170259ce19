#include "app/checker_win.h"
#include "check_window_win.h"
#include "common/check_state.h"
#include "common/clock.h"
#include "render/cube.h"
#include "render/frame_win.h"
#include "render/scene_win.h"
#include "stats/run_frame_win.h"

#include <cstring>
#include <string>
#include <vector>

uint32_t fakeTick = 0;
namespace {
int64_t fakeCounter = 0;
}
uint32_t TickMilliseconds() { return fakeTick; }
int64_t PerformanceCounter() { return fakeCounter += 250; }
int64_t PerformanceFrequency() { return 1000; }

void CheckWindow::SetUp() {
    checkState = CheckState{};
    fakeTick = 0;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    ASSERT_TRUE(RegisterMainClass(instance));
    window = CreateWindowExW(0, L"GralvenClass", L"", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 200,
                             50, 800, 600, nullptr, nullptr, instance, nullptr);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    ASSERT_EQ(InitDirect3D(window), initResult);
}

void CheckWindow::TearDown() {
    if (IsWindow(window)) DestroyWindow(window);
    ReleaseAll();
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    UnregisterMainClass(GetModuleHandleW(nullptr));
}

namespace {

// Every text row goes through ID3DXFont::DrawTextW, slot 15 of the font's
// method table (IUnknown's three, then GetDevice up to DrawTextA): patched
// here to note the font and the rectangle before drawing.
struct TextDraw {
    ID3DXFont* font;
    RECT rect;
};
std::vector<TextDraw> textDraws;
using DrawTextWMethod = INT(WINAPI*)(ID3DXFont*, ID3DXSprite*, const WCHAR*, INT, RECT*, DWORD,
                                     D3DCOLOR);
DrawTextWMethod realDrawText = nullptr;

INT WINAPI NoteDrawText(ID3DXFont* font, ID3DXSprite* sprite, const WCHAR* text, INT count,
                        RECT* rect, DWORD format, D3DCOLOR colour) {
    textDraws.push_back({font, *rect});
    return realDrawText(font, sprite, text, count, rect, format, colour);
}

void NoteTextDraws(ID3DXFont* font) {
    void** slot = *reinterpret_cast<void***>(font) + 15;
    if (*slot == reinterpret_cast<void*>(NoteDrawText)) return;
    DWORD protection = 0;
    ASSERT_TRUE(VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection));
    realDrawText = reinterpret_cast<DrawTextWMethod>(*slot);
    *slot = reinterpret_cast<void*>(NoteDrawText);
    VirtualProtect(slot, sizeof *slot, protection, &protection);
}

}  // namespace

TEST_F(CheckWindow, TheDeviceAndTheSceneObjectsAreMadeOnceAsTheCheckNeedsThem) {
    IDirect3DDevice9* device = sceneResources.device;
    EXPECT_EQ(InitDirect3D(window), E_FAIL);
    EXPECT_EQ(sceneResources.device, device);
    IDirect3DSwapChain9* chain = nullptr;
    ASSERT_EQ(device->GetSwapChain(0, &chain), S_OK);
    D3DPRESENT_PARAMETERS shown{};
    chain->GetPresentParameters(&shown);
    chain->Release();
    D3DCAPS9 caps{};
    device->GetDeviceCaps(&caps);
    D3DDEVICE_CREATION_PARAMETERS made{};
    device->GetCreationParameters(&made);
    auto render = [&](D3DRENDERSTATETYPE state) { DWORD v = 0; device->GetRenderState(state, &v); return v; };
    auto sampler = [&](D3DSAMPLERSTATETYPE state) { DWORD v = 0; device->GetSamplerState(0, state, &v); return v; };
    D3DVERTEXBUFFER_DESC vertices{};
    sceneResources.vertexBuffer->GetDesc(&vertices);
    D3DINDEXBUFFER_DESC indices{};
    sceneResources.indexBuffer->GetDesc(&indices);
    ASSERT_NE(sceneResources.cubeTexture, nullptr);
    D3DSURFACE_DESC top{};
    sceneResources.cubeTexture->GetLevelDesc(0, &top);
    const DWORD seenAndWanted[][2] = {
        {shown.BackBufferWidth, 800}, {shown.BackBufferHeight, 600},
        {shown.BackBufferFormat, D3DFMT_A8R8G8B8}, {shown.BackBufferCount, 2},
        {shown.MultiSampleType, D3DMULTISAMPLE_NONE}, {shown.SwapEffect, D3DSWAPEFFECT_DISCARD},
        {shown.hDeviceWindow == window, 1}, {DWORD(shown.Windowed), 1},
        {DWORD(shown.EnableAutoDepthStencil), 1}, {shown.AutoDepthStencilFormat, D3DFMT_D24S8},
        {shown.PresentationInterval, D3DPRESENT_INTERVAL_IMMEDIATE},
        {made.DeviceType, D3DDEVTYPE_HAL},
        {made.BehaviorFlags, (caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT)
                                 ? DWORD(D3DCREATE_HARDWARE_VERTEXPROCESSING)
                                 : DWORD(D3DCREATE_SOFTWARE_VERTEXPROCESSING)},
        {render(D3DRS_CULLMODE), D3DCULL_CCW}, {render(D3DRS_AMBIENT), 0xFFFFFFFF},
        {render(D3DRS_LIGHTING), TRUE}, {sampler(D3DSAMP_MAXANISOTROPY), 3},
        {sampler(D3DSAMP_MAGFILTER), D3DTEXF_ANISOTROPIC},
        {sampler(D3DSAMP_MINFILTER), D3DTEXF_ANISOTROPIC}, {sampler(D3DSAMP_MIPFILTER), D3DTEXF_NONE},
        {vertices.FVF, D3DFVF_XYZ | D3DFVF_TEX1}, {vertices.Pool, D3DPOOL_DEFAULT},
        {vertices.Size, sizeof cubeVertices}, {indices.Format, D3DFMT_INDEX16},
        {indices.Pool, D3DPOOL_DEFAULT}, {indices.Size, sizeof cubeIndices},
        {sceneResources.cubeTexture->GetLevelCount(), 6}, {top.Width, 64},
        {top.Format, D3DFMT_X8R8G8B8}, {top.Pool, D3DPOOL_MANAGED},
    };
    for (const auto& row : seenAndWanted) EXPECT_EQ(row[0], row[1]) << "row " << &row - seenAndWanted;
    D3DMATERIAL9 material{};
    device->GetMaterial(&material);
    const D3DMATERIAL9 white{{1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}, {0, 0, 0, 0}, 0};
    EXPECT_EQ(std::memcmp(&material, &white, sizeof white), 0);
    void* data = nullptr;
    ASSERT_EQ(sceneResources.vertexBuffer->Lock(0, 0, &data, D3DLOCK_READONLY), S_OK);
    EXPECT_EQ(std::memcmp(data, cubeVertices, sizeof cubeVertices), 0);
    sceneResources.vertexBuffer->Unlock();
    ASSERT_EQ(sceneResources.indexBuffer->Lock(0, 0, &data, D3DLOCK_READONLY), S_OK);
    EXPECT_EQ(std::memcmp(data, cubeIndices, sizeof cubeIndices), 0);
    sceneResources.indexBuffer->Unlock();
}

TEST_F(CheckWindow, FontsGrowByThreeFromTwentyAndTheAdapterLineIsCutToFiftyNine) {
    const wchar_t* faces[3] = {L"华文中宋", L"微软雅黑", L"黑体"};
    for (int index = 0; index < 3; ++index) {
        D3DXFONT_DESCW font{};
        sceneResources.fonts[index]->GetDescW(&font);
        EXPECT_EQ(font.Height, 20 + 3 * index);
        EXPECT_EQ(font.Weight, 1000u);
        EXPECT_EQ(font.CharSet, DEFAULT_CHARSET);
        EXPECT_STREQ(font.FaceName, faces[index]);
    }
    IDirect3D9* direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DADAPTER_IDENTIFIER9 adapter{};
    direct3d->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0, &adapter);
    direct3d->Release();
    wchar_t description[512] = {};
    ASSERT_GT(MultiByteToWideChar(CP_ACP, 0, adapter.Description, -1, description, 512), 1);
    EXPECT_EQ(checkState.adapterLine, L"当前显卡型号：" + std::wstring(description).substr(0, 52));
}

TEST_F(CheckWindow, TransformsTurnAboutXThenYThenZSeenFromFiftyUnitsAway) {
    fakeTick = 1000;  // pi about X, pi/2 about Y, pi/3 about Z
    SetFrameTransforms();
    D3DMATRIX world{}, view{}, projection{};
    sceneResources.device->GetTransform(D3DTS_WORLD, &world);
    sceneResources.device->GetTransform(D3DTS_VIEW, &view);
    sceneResources.device->GetTransform(D3DTS_PROJECTION, &projection);
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
    D3DVIEWPORT9 viewport{};
    sceneResources.device->GetViewport(&viewport);
    const D3DVIEWPORT9 whole{0, 0, 800, 600, 0.0f, 1.0f};
    EXPECT_EQ(std::memcmp(&viewport, &whole, sizeof whole), 0);
}

// The rows at 500 and 550 use the larger font; the figures' rows share the
// tops of the lines beside them; every row spans the whole client width.
TEST_F(CheckWindow, APaintDrawsEachRowWithItsFontAtItsTopAndCountsOnlyInTheFrameRateMeters) {
    NoteTextDraws(sceneResources.fonts[1]);
    NoteTextDraws(sceneResources.fonts[2]);
    textDraws.clear();
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
    const struct {
        LONG top;
        int font;
    } rows[] = {{0, 1}, {0, 1}, {30, 1}, {30, 1}, {60, 1}, {60, 1}, {90, 1}, {500, 2}, {550, 2}};
    ASSERT_EQ(textDraws.size(), std::size(rows));
    RECT client{};
    GetClientRect(window, &client);
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(textDraws[i].font, sceneResources.fonts[rows[i].font]) << "row " << i;
        const RECT& at = textDraws[i].rect;
        EXPECT_TRUE(at.top == rows[i].top && at.left == 0 && at.right == client.right &&
                    at.bottom == client.bottom) << "row " << i << " top " << at.top;
    }
    EXPECT_EQ(checkState.fpsCounter.frames, 1);
    EXPECT_EQ(checkState.fpsMovingAverage.frames, 1);
    EXPECT_EQ(checkState.frameBatchAverage.frames, 0);
    EXPECT_EQ(checkState.frameBatchAverage.batchMilliseconds, 0.0);
}

// Run with d3dx9_43 switched off (tests/windows.cmake).
class WithoutD3dx : public CheckWindow {
protected:
    WithoutD3dx() : CheckWindow(E_FAIL) {}
};

TEST_F(WithoutD3dx, Direct3DFailsLeavingNothingAndFramesStillCount) {
    EXPECT_TRUE(NoSceneObjects());
    EXPECT_EQ(checkState.adapterLine[0], L'\0');
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    SetFrameTransforms();
    RunFrame(window);
    EXPECT_EQ(checkState.fpsCounter.frames, 2);
    EXPECT_EQ(checkState.fpsMovingAverage.frames, 2);
    EXPECT_EQ(checkState.frameBatchAverage.batchMilliseconds, 250.0);
    ReleaseAll();
    EXPECT_TRUE(NoSceneObjects());
}
