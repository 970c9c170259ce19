// The program's matrices, texture and text beside Wine's own d3dx9_43, the
// reference they are measured against: the same matrices, the same texture,
// text laid out alike, and the cube's states left as they were. Then, in a
// prefix of its own, the text where a face it asks for is missing.
#include "benchmarks/scene_window_win.h"
#include "drawkit/matrix.h"
#include "drawkit/texture_win.h"
#include "frame/frame_win.h"
#include "picture_win.h"
#include "scene/cube.h"
#include "scene/overlay.h"
#include "scene/scene_win.h"

#include <d3dx9.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

// Runs of floats between two values: 0 for equal ones (and for 0 and -0).
int64_t Ordered(float value) {
    int32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits < 0 ? int64_t{INT32_MIN} - bits : bits;
}

void DrawWhite(ID3DXFont* font, const wchar_t* text, RECT rect, DWORD format) {
    font->DrawTextW(nullptr, text, -1, &rect, format, 0xFFFFFFFF);
}

void DrawWhite(TextFont* font, const wchar_t* text, RECT rect, DWORD format) {
    font->Draw(text, rect, format, 0xFFFFFFFF);
}

// The text drawn by font (D3DX's or the program's) in white on black.
template <typename Font>
std::vector<uint32_t> DrawnText(IDirect3DDevice9* device, Font* font, const wchar_t* text,
                                RECT rect, DWORD format) {
    return DrawnPicture(device, [&] {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        DrawWhite(font, text, rect, format);
        device->EndScene();
    });
}

// The first and last column and row with ink (red well above black).
struct Ink {
    int left = pictureWidth;
    int top = pictureHeight;
    int right = -1;
    int bottom = -1;
};

Ink InkOf(const std::vector<uint32_t>& pixels) {
    Ink ink;
    for (int i = 0; i < static_cast<int>(pixels.size()); ++i) {
        if (((pixels[i] >> 16) & 0xFF) < 0x40) continue;
        ink.left = std::min(ink.left, i % pictureWidth);
        ink.right = std::max(ink.right, i % pictureWidth);
        ink.top = std::min(ink.top, i / pictureWidth);
        ink.bottom = std::max(ink.bottom, i / pictureWidth);
    }
    return ink;
}

// A window and the program's device and scene objects made by InitDirect3D.
class D3dxReference : public testing::Test {
protected:
    void SetUp() override {
        window = CreateSceneWindow();
        ASSERT_EQ(InitDirect3DAndJudge(window), S_OK);
        device = sceneResources.device;
    }
    void TearDown() override {
        for (IUnknown* object : made) {
            if (object) object->Release();
        }
        ReleaseSceneResources();
        DestroySceneWindow(window);
    }
    // After a frame: every render state, the first two stages' states and
    // the first sampler's (a failed read gives the same value each time), then
    // what is bound: texture, stream and its stride, vertex format.
    std::vector<DWORD> StatesAfterAFrame() {
        SetFrameTransforms();
        RenderFrame(window);
        std::vector<DWORD> seen(256 + 64 + 13 + 4, 0xDEAD);
        for (DWORD i = 0; i < 256; ++i) device->GetRenderState(D3DRENDERSTATETYPE(i), &seen[i]);
        for (DWORD i = 0; i < 64; ++i) {
            auto type = D3DTEXTURESTAGESTATETYPE(i % 32 + 1);
            device->GetTextureStageState(i / 32, type, &seen[256 + i]);
        }
        for (DWORD i = 0; i < 13; ++i) {
            device->GetSamplerState(0, D3DSAMPLERSTATETYPE(i + 1), &seen[320 + i]);
        }
        IDirect3DBaseTexture9* texture = nullptr;
        IDirect3DVertexBuffer9* stream = nullptr;
        UINT offset = 0;
        UINT stride = 0;
        device->GetTexture(0, &texture);
        device->GetStreamSource(0, &stream, &offset, &stride);
        device->GetFVF(&seen[336]);
        seen[335] = stride;
        seen[333] = texture == sceneResources.cubeTexture;
        seen[334] = stream == sceneResources.vertexBuffer;
        for (IUnknown* bound : {static_cast<IUnknown*>(texture), static_cast<IUnknown*>(stream)}) {
            if (bound) bound->Release();
        }
        return seen;
    }
    HWND window = nullptr;
    IDirect3DDevice9* device = nullptr;
    std::vector<IUnknown*> made;  // by the test, released before the device
};

// Level 0's red, green and blue (the X8 byte is anyone's).
std::vector<uint32_t> TopLevel(IDirect3DTexture9* texture) {
    IDirect3DSurface9* level = nullptr;
    texture->GetSurfaceLevel(0, &level);
    std::vector<uint32_t> texels = level ? PixelsOf(level) : std::vector<uint32_t>{};
    if (level) level->Release();
    for (uint32_t& texel : texels) texel &= 0x00FFFFFF;
    return texels;
}

}  // namespace

TEST(D3dxMatrices, TheCubeTurnsAsWithD3dxAtEveryTick) {
    for (uint32_t tick : {0u, 1u, 500u, 1000u, 12345u, 1234567u, 86400000u, 4294967295u}) {
        SCOPED_TRACE(tick);
        D3DXMATRIX x, y, z;
        D3DXMatrixRotationX(&x, CubeAngleX(tick));
        D3DXMatrixRotationY(&y, CubeAngleY(tick));
        D3DXMatrixRotationZ(&z, CubeAngleZ(tick));
        D3DXMatrixMultiply(&x, &x, &y);
        D3DXMatrixMultiply(&x, &x, &z);
        const Matrix4 mine = MatrixMultiply(MatrixMultiply(MatrixRotationX(CubeAngleX(tick)),
                                                           MatrixRotationY(CubeAngleY(tick))),
                                            MatrixRotationZ(CubeAngleZ(tick)));
        for (int i = 0; i < 16; ++i) {
            const float a = mine.m[i / 4][i % 4];
            const float b = x.m[i / 4][i % 4];
            EXPECT_LE(std::abs(Ordered(a) - Ordered(b)), 2) << "m" << i / 4 << i % 4 << ": " << a
                                                            << " against " << b;
        }
    }
}

// The program's own image (assets/npc.png, 256 x 256), texel for texel at
// the top level; the levels below follow the mip chain's rule.
TEST_F(D3dxReference, TheTextureIsTheOneD3dxLoads) {
    IDirect3DTexture9* mine = nullptr;
    IDirect3DTexture9* theirs = nullptr;
    CreateTextureFromImageFile(device, L"assets_npc.png", 6, &mine);
    D3DXCreateTextureFromFileExW(device, L"assets_npc.png", 0, 0, 6, 0, D3DFMT_X8R8G8B8,
                                 D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr,
                                 &theirs);
    made = {mine, theirs};
    ASSERT_NE(mine, nullptr);
    ASSERT_NE(theirs, nullptr);
    const std::vector<uint32_t> texels = TopLevel(mine);
    EXPECT_EQ(texels.size(), 256u * 256u);
    EXPECT_EQ(texels, TopLevel(theirs));
}

// The figure rows: "FPS:" ends at the right edge of the client area.
TEST_F(D3dxReference, RightAlignedTextEndsAtTheRightEdgeWhereD3dxEndsIt) {
    ID3DXFont* reference = nullptr;
    D3DXCreateFontW(device, rowFaces[1].height, 0, rowFontWeight, 0, FALSE,
                    DEFAULT_CHARSET, 0, 0, 0, rowFaces[1].face, &reference);
    made = {reference};
    ASSERT_NE(reference, nullptr);
    const RECT rect{0, 0, 700, 600};
    const wchar_t text[] = L"FPS:59.940";
    const Ink mine = InkOf(DrawnText(device, sceneResources.fonts[1], text, rect, DT_RIGHT));
    const Ink theirs = InkOf(DrawnText(device, reference, text, rect, DT_RIGHT));
    EXPECT_NEAR(mine.right, theirs.right, 2);
    EXPECT_NEAR(mine.left, theirs.left, 3);
    EXPECT_NEAR(mine.top, theirs.top, 2);
    EXPECT_NEAR(mine.bottom, theirs.bottom, 2);
}

// A row at 550 with the 26-pixel font reaches past a client area 575 high.
TEST_F(D3dxReference, TextIsClippedToTheRectangleUnlessToldNotTo) {
    TextFont* font = sceneResources.fonts[2];
    const RECT rect{0, 550, 800, 565};
    const wchar_t text[] = L"GPU: 计算中...";
    EXPECT_EQ(InkOf(DrawnText(device, font, text, rect, DT_SINGLELINE)).bottom, 564);
    EXPECT_GT(InkOf(DrawnText(device, font, text, rect, DT_SINGLELINE | DT_NOCLIP)).bottom, 565);
}

// The cube's states after a frame drawn with the overlay's fonts are those
// after the same frame drawn without any text.
TEST_F(D3dxReference, TheTextLeavesEveryStateOfTheCubeAsItWas) {
    TextFont* fonts[std::size(sceneResources.fonts)];
    std::copy(std::begin(sceneResources.fonts), std::end(sceneResources.fonts), fonts);
    std::fill(std::begin(sceneResources.fonts), std::end(sceneResources.fonts), nullptr);
    const std::vector<DWORD> withoutText = StatesAfterAFrame();
    std::copy(std::begin(fonts), std::end(fonts), sceneResources.fonts);
    const std::vector<DWORD> withText = StatesAfterAFrame();
    for (std::size_t i = 0; i < withoutText.size(); ++i) {
        EXPECT_EQ(withText[i], withoutText[i]) << "state " << i;
    }
}

// As on a Windows outside China: "黑体" and "华文中宋" absent, "微软雅黑"
// present (a third Wine prefix, scripts/wine-env.sh, where only the latter
// has a replacement; tests/windows.cmake runs these there alone).
class OutsideChina : public D3dxReference {};

// Each character of the status row drawn alone in the row's face, "黑体":
// missing-glyph boxes would all be alike.
TEST_F(OutsideChina, TheVerdictRowInTheBlackFaceShowsTwelveDifferentCharacters) {
    const std::wstring prefix = _wgetenv(L"WINEPREFIX") ? _wgetenv(L"WINEPREFIX") : L"";
    const std::wstring ending = L"-outside-china";
    ASSERT_TRUE(prefix.size() > ending.size() &&
                prefix.compare(prefix.size() - ending.size(), ending.size(), ending) == 0)
        << "run in the outside-China prefix (scripts/wine-env.sh)";
    const std::wstring row = L"您的机器可以正常运行游戏";
    std::vector<std::vector<uint32_t>> pictures;
    for (wchar_t character : row) {
        const wchar_t text[] = {character, L'\0'};
        pictures.push_back(DrawnText(device, sceneResources.fonts[2], text,
                                     {0, 0, pictureWidth, pictureHeight}, DT_SINGLELINE));
    }
    for (std::size_t i = 0; i < row.size(); ++i) {
        for (std::size_t j = i + 1; j < row.size(); ++j) {
            EXPECT_NE(pictures[i], pictures[j]) << "characters " << i << " and " << j;
        }
    }
}
