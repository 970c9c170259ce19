// The stand-ins for D3DX beside Wine's own d3dx9_43, on one device: the same
// matrices, the same texture, text laid out alike, and the cube's states
// left as they were.
#include "benchmarks/scene_window_win.h"
#include "picture_win.h"
#include "render/cube.h"
#include "render/d3dx_win.h"
#include "render/frame_win.h"
#include "render/scene_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr uint32_t rgb = 0x00FFFFFF;
constexpr uint32_t black = 0xFF000000;
constexpr uint32_t white = 0xFFFFFFFF;
// A pixel counts as ink once its red is this far above the black it was
// drawn on.
constexpr uint32_t inkRed = 0x40;

// Runs of floats between two values: 0 for equal ones (and for 0 and -0).
int64_t Ordered(float value) {
    int32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits < 0 ? int64_t{INT32_MIN} - bits : bits;
}

int64_t UnitsApart(float a, float b) {
    int64_t distance = Ordered(a) - Ordered(b);
    return distance < 0 ? -distance : distance;
}

void ExpectWithinTwoUnits(const D3DXMATRIX& standIn, const D3DXMATRIX& runtime) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_LE(UnitsApart(standIn.m[i / 4][i % 4], runtime.m[i / 4][i % 4]), 2)
            << "m" << i / 4 << i % 4 << ": " << standIn.m[i / 4][i % 4] << " against "
            << runtime.m[i / 4][i % 4];
    }
}

struct Ink {
    int left = pictureWidth;
    int top = pictureHeight;
    int right = -1;  // the last column with ink
    int bottom = -1;
};

Ink InkOf(const std::vector<uint32_t>& pixels) {
    Ink ink;
    for (int i = 0; i < static_cast<int>(pixels.size()); ++i) {
        if (((pixels[i] >> 16) & 0xFF) < inkRed) continue;
        ink.left = std::min(ink.left, i % pictureWidth);
        ink.right = std::max(ink.right, i % pictureWidth);
        ink.top = std::min(ink.top, i / pictureWidth);
        ink.bottom = std::max(ink.bottom, i / pictureWidth);
    }
    return ink;
}

// A window and a device made by InitDirect3D with Wine's D3DX; the two
// tables side by side.
class StandIns : public testing::Test {
protected:
    void SetUp() override {
        window = CreateSceneWindow();
        ASSERT_EQ(InitDirect3D(window), S_OK);
        ASSERT_NE(d3dx.module, nullptr) << "Wine's d3dx9_43 is needed for the comparison";
        runtime = d3dx;
        device = sceneResources.device;
    }
    // What D3DX made goes before D3DX does.
    void TearDown() override {
        for (IUnknown* object : made) {
            if (object) object->Release();
        }
        ReleaseSceneResources();
        DestroySceneWindow(window);
    }

    ID3DXFont* Font(const D3dxFunctions& functions, INT height, const wchar_t* face) {
        ID3DXFont* font = nullptr;
        EXPECT_EQ(functions.createFont(device, height, 0, 1000, 0, FALSE, DEFAULT_CHARSET, 0, 0, 0,
                                       face, &font),
                  S_OK);
        made.push_back(font);
        return font;
    }

    // The text in white on black.
    Ink Drawn(ID3DXFont* font, const wchar_t* text, RECT rect, DWORD format) {
        return InkOf(DrawnPicture(device, [&] {
            device->Clear(0, nullptr, D3DCLEAR_TARGET, black, 1.0f, 0);
            device->BeginScene();
            font->DrawTextW(nullptr, text, -1, &rect, format, white);
            device->EndScene();
        }));
    }

    IDirect3DTexture9* Texture(const D3dxFunctions& functions, const wchar_t* file) {
        IDirect3DTexture9* texture = nullptr;
        functions.createTextureFromFile(device, file, 0, 0, 6, 0, D3DFMT_X8R8G8B8,
                                        D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr,
                                        nullptr, &texture);
        made.push_back(texture);
        return texture;
    }

    HWND window = nullptr;
    IDirect3DDevice9* device = nullptr;
    D3dxFunctions runtime;
    const D3dxFunctions standIns = D3dxStandIns();
    std::vector<IUnknown*> made;
};

// Level 0's red, green and blue (the X8 byte is anyone's).
std::vector<uint32_t> TopLevel(IDirect3DTexture9* texture) {
    D3DSURFACE_DESC level{};
    D3DLOCKED_RECT locked{};
    std::vector<uint32_t> texels;
    if (texture->GetLevelDesc(0, &level) != S_OK ||
        texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY) != S_OK) {
        return texels;
    }
    for (UINT y = 0; y < level.Height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<char*>(locked.pBits) + y * locked.Pitch);
        for (UINT x = 0; x < level.Width; ++x) texels.push_back(row[x] & rgb);
    }
    texture->UnlockRect(0);
    return texels;
}

const uint32_t ticks[] = {0, 1, 500, 1000, 12345, 1234567, 86400000, 4294967295u};

}  // namespace

TEST_F(StandIns, TurnTheCubeAsD3dxDoesAtEveryTick) {
    for (uint32_t tick : ticks) {
        SCOPED_TRACE(tick);
        D3DXMATRIX mine[4];
        D3DXMATRIX theirs[4];
        standIns.matrixRotationX(&mine[0], CubeAngleX(tick));
        runtime.matrixRotationX(&theirs[0], CubeAngleX(tick));
        standIns.matrixRotationY(&mine[1], CubeAngleY(tick));
        runtime.matrixRotationY(&theirs[1], CubeAngleY(tick));
        standIns.matrixRotationZ(&mine[2], CubeAngleZ(tick));
        runtime.matrixRotationZ(&theirs[2], CubeAngleZ(tick));
        for (int axis = 0; axis < 3; ++axis) ExpectWithinTwoUnits(mine[axis], theirs[axis]);
        standIns.matrixMultiply(&mine[3], &mine[0], &mine[1]);
        standIns.matrixMultiply(&mine[3], &mine[3], &mine[2]);
        runtime.matrixMultiply(&theirs[3], &theirs[0], &theirs[1]);
        runtime.matrixMultiply(&theirs[3], &theirs[3], &theirs[2]);
        ExpectWithinTwoUnits(mine[3], theirs[3]);
    }
}

// The scene's camera, and level views from elsewhere. A view tilted up or
// down is left out: its vertical axis comes out of a cross product that Wine
// normalises once more, so their translations, sums of terms that cancel,
// differ by about 1e-6, which is more than 2 units for a result near 1.
TEST_F(StandIns, MakeTheCameraAndProjectionD3dxMakes) {
    const D3DXVECTOR3 views[][2] = {
        {{0, 0, -50}, {0, 0, 0}}, {{40, 5, 30}, {10, 5, -60}}, {{-7.5f, -2, 12}, {3, -2, 1}}};
    const D3DXVECTOR3 up(0, 1, 0);
    for (const auto& view : views) {
        D3DXMATRIX mine;
        D3DXMATRIX theirs;
        standIns.matrixLookAtLH(&mine, &view[0], &view[1], &up);
        runtime.matrixLookAtLH(&theirs, &view[0], &view[1], &up);
        ExpectWithinTwoUnits(mine, theirs);
    }
    D3DXMATRIX mine;
    D3DXMATRIX theirs;
    standIns.matrixPerspectiveFovLH(&mine, 0.7853982f, 1.3333334f, 1.0f, 1000.0f);
    runtime.matrixPerspectiveFovLH(&theirs, 0.7853982f, 1.3333334f, 1.0f, 1000.0f);
    ExpectWithinTwoUnits(mine, theirs);
}

// The program's own image (assets/npc.png, 256 x 256).
TEST_F(StandIns, LoadTheTextureD3dxLoads) {
    IDirect3DTexture9* mine = Texture(standIns, L"assets_npc.png");
    IDirect3DTexture9* theirs = Texture(runtime, L"assets_npc.png");
    ASSERT_NE(mine, nullptr);
    ASSERT_NE(theirs, nullptr);
    ASSERT_EQ(mine->GetLevelCount(), theirs->GetLevelCount());
    for (DWORD level = 0; level < mine->GetLevelCount(); ++level) {
        D3DSURFACE_DESC a{};
        D3DSURFACE_DESC b{};
        mine->GetLevelDesc(level, &a);
        theirs->GetLevelDesc(level, &b);
        EXPECT_EQ(a.Width, b.Width) << "level " << level;
        EXPECT_EQ(a.Height, b.Height) << "level " << level;
        EXPECT_EQ(a.Format, b.Format) << "level " << level;
        EXPECT_EQ(a.Pool, b.Pool) << "level " << level;
    }
    const std::vector<uint32_t> texels = TopLevel(mine);
    const std::vector<uint32_t> wanted = TopLevel(theirs);
    ASSERT_EQ(texels.size(), wanted.size());
    int differing = 0;
    for (std::size_t i = 0; i < texels.size(); ++i) differing += texels[i] != wanted[i];
    EXPECT_EQ(differing, 0);
}

TEST_F(StandIns, LeaveTheTextureOutForAMissingOrBrokenFile) {
    EXPECT_EQ(Texture(standIns, L"no such file.png"), nullptr);
    EXPECT_EQ(Texture(standIns, L"standins_win_tests.exe"), nullptr);
}

// The figure rows: "FPS:" ends at the right edge of the client area.
TEST_F(StandIns, EndRightAlignedTextAtTheRightEdgeWhereD3dxDoes) {
    const RECT rect{0, 0, 700, 600};
    const Ink mine = Drawn(Font(standIns, 23, L"微软雅黑"), L"FPS:59.940", rect, DT_RIGHT);
    const Ink theirs = Drawn(Font(runtime, 23, L"微软雅黑"), L"FPS:59.940", rect, DT_RIGHT);
    EXPECT_LE(mine.right, 699);
    EXPECT_GE(mine.right, 695);
    EXPECT_NEAR(mine.right, theirs.right, 2);
    EXPECT_NEAR(mine.left, theirs.left, 3);
    EXPECT_NEAR(mine.top, theirs.top, 2);
    EXPECT_NEAR(mine.bottom, theirs.bottom, 2);
}

// A row at 550 with the 26-pixel font reaches past a client area 575 high.
TEST_F(StandIns, ClipTextToTheRectangleUnlessToldNotTo) {
    ID3DXFont* font = Font(standIns, 26, L"黑体");
    const RECT rect{0, 550, 800, 565};
    EXPECT_EQ(Drawn(font, L"GPU: 计算中...", rect, DT_SINGLELINE).bottom, 564);
    EXPECT_GT(Drawn(font, L"GPU: 计算中...", rect, DT_SINGLELINE | DT_NOCLIP).bottom, 565);
}

// The cube's states after a frame drawn with the stand-in fonts are those
// after the same frame drawn without any text.
TEST_F(StandIns, LeaveEveryStateOfTheCubeAsItWasAfterTheirText) {
    ReleaseSceneResources();
    d3dx = standIns;
    ASSERT_EQ(InitDirect3D(window), S_OK);
    device = sceneResources.device;
    // Every render, stage and sampler state (0xDEAD where there is none),
    // then what is bound: texture, stream, vertex format.
    auto states = [this] {
        std::vector<DWORD> seen;
        DWORD v = 0;
        for (DWORD state = 0; state < 256; ++state)
            seen.push_back(device->GetRenderState(D3DRENDERSTATETYPE(state), &v) == S_OK ? v : 0xDEAD);
        for (DWORD i = 0; i < 64; ++i)  // stages 0 and 1, types 1 to 32
            seen.push_back(device->GetTextureStageState(i / 32, D3DTEXTURESTAGESTATETYPE(i % 32 + 1), &v) == S_OK ? v : 0xDEAD);
        for (DWORD type = 1; type <= 13; ++type)
            seen.push_back(device->GetSamplerState(0, D3DSAMPLERSTATETYPE(type), &v) == S_OK ? v : 0xDEAD);
        IDirect3DBaseTexture9* texture = nullptr;
        IDirect3DVertexBuffer9* stream = nullptr;
        UINT offset = 0;
        UINT stride = 0;
        device->GetTexture(0, &texture);
        device->GetStreamSource(0, &stream, &offset, &stride);
        device->GetFVF(&v);
        for (IUnknown* bound : {static_cast<IUnknown*>(texture), static_cast<IUnknown*>(stream)}) {
            seen.push_back(static_cast<DWORD>(reinterpret_cast<uintptr_t>(bound)));
            if (bound) bound->Release();
        }
        seen.insert(seen.end(), {v, stride});
        return seen;
    };
    ID3DXFont* fonts[3];
    std::copy(std::begin(sceneResources.fonts), std::end(sceneResources.fonts), fonts);
    std::fill(std::begin(sceneResources.fonts), std::end(sceneResources.fonts), nullptr);
    SetFrameTransforms();
    RenderFrame(window);
    const std::vector<DWORD> withoutText = states();
    std::copy(std::begin(fonts), std::end(fonts), sceneResources.fonts);
    SetFrameTransforms();
    RenderFrame(window);
    const std::vector<DWORD> withText = states();
    ASSERT_EQ(withText.size(), withoutText.size());
    for (std::size_t i = 0; i < withText.size(); ++i) EXPECT_EQ(withText[i], withoutText[i]) << "state " << i;
}
