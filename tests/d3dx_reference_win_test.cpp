// The program's matrices, texture and text beside Wine's own d3dx9_43, the
// reference they are measured against, on one device: the same matrices,
// the same texture, text laid out alike, and the cube's states left as they
// were.
#include "benchmarks/scene_window_win.h"
#include "picture_win.h"
#include "render/cube.h"
#include "render/font_win.h"
#include "frame/frame_win.h"
#include "render/matrix.h"
#include "render/overlay.h"
#include "render/scene_win.h"
#include "render/texture_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr uint32_t rgb = 0x00FFFFFF;
constexpr UINT cubeMipLevels = 6;

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

void ExpectWithinTwoUnits(const Matrix4& mine, const D3DXMATRIX& reference) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_LE(UnitsApart(mine.m[i / 4][i % 4], reference.m[i / 4][i % 4]), 2)
            << "m" << i / 4 << i % 4 << ": " << mine.m[i / 4][i % 4] << " against "
            << reference.m[i / 4][i % 4];
    }
}

D3DXVECTOR3 AsD3dx(const Vector3& vector) { return {vector.x, vector.y, vector.z}; }

// Through void (*)(), the one function type a cast to any other is quiet for.
template <typename Function>
void FindEntry(HMODULE module, const char* name, Function& entry) {
    FARPROC address = module ? GetProcAddress(module, name) : nullptr;
    entry = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

// The D3DX calls the program's own code is compared with, from Wine's
// d3dx9_43 in the system folder (the program never loads it).
struct D3dx {
    HMODULE module = LoadLibraryExW(L"d3dx9_43.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    decltype(&D3DXCreateFontW) createFont = nullptr;
    decltype(&D3DXCreateTextureFromFileExW) createTextureFromFile = nullptr;
    decltype(&D3DXMatrixRotationX) rotationX = nullptr;
    decltype(&D3DXMatrixRotationY) rotationY = nullptr;
    decltype(&D3DXMatrixRotationZ) rotationZ = nullptr;
    decltype(&D3DXMatrixMultiply) multiply = nullptr;
    decltype(&D3DXMatrixLookAtLH) lookAtLH = nullptr;
    decltype(&D3DXMatrixPerspectiveFovLH) perspectiveFovLH = nullptr;

    D3dx() {
        FindEntry(module, "D3DXCreateFontW", createFont);
        FindEntry(module, "D3DXCreateTextureFromFileExW", createTextureFromFile);
        FindEntry(module, "D3DXMatrixRotationX", rotationX);
        FindEntry(module, "D3DXMatrixRotationY", rotationY);
        FindEntry(module, "D3DXMatrixRotationZ", rotationZ);
        FindEntry(module, "D3DXMatrixMultiply", multiply);
        FindEntry(module, "D3DXMatrixLookAtLH", lookAtLH);
        FindEntry(module, "D3DXMatrixPerspectiveFovLH", perspectiveFovLH);
    }
    ~D3dx() {
        if (module) FreeLibrary(module);
    }
    bool Complete() const {
        return createFont && createTextureFromFile && rotationX && rotationY && rotationZ &&
               multiply && lookAtLH && perspectiveFovLH;
    }
};

// A window and the program's device and scene objects made by InitDirect3D,
// with D3DX beside them.
class D3dxReference : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(d3dx.Complete()) << "Wine's d3dx9_43 is needed for the comparison";
        window = CreateSceneWindow();
        ASSERT_EQ(InitDirect3D(window), S_OK);
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

    ID3DXFont* Reference(const OverlayFont& face) {
        ID3DXFont* font = nullptr;
        EXPECT_EQ(d3dx.createFont(device, face.height, 0, overlayFontWeight, 0, FALSE,
                                  DEFAULT_CHARSET, 0, 0, 0, face.face, &font),
                  S_OK);
        made.push_back(font);
        return font;
    }

    ID3DXFont* Mine(const OverlayFont& face) {
        ID3DXFont* font = nullptr;
        EXPECT_EQ(CreateOverlayFont(device, face.face, face.height, &font), S_OK);
        made.push_back(font);
        return font;
    }

    Ink Drawn(ID3DXFont* font, const wchar_t* text, RECT rect, DWORD format) {
        return InkOf(DrawnText(device, font, text, rect, format));
    }

    IDirect3DTexture9* Reference(const wchar_t* file) {
        IDirect3DTexture9* texture = nullptr;
        d3dx.createTextureFromFile(device, file, 0, 0, cubeMipLevels, 0, D3DFMT_X8R8G8B8,
                                   D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr,
                                   &texture);
        made.push_back(texture);
        return texture;
    }

    IDirect3DTexture9* Mine(const wchar_t* file) {
        IDirect3DTexture9* texture = nullptr;
        LoadCubeTexture(device, file, &texture);
        made.push_back(texture);
        return texture;
    }

    const D3dx d3dx;
    HWND window = nullptr;
    IDirect3DDevice9* device = nullptr;
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

TEST_F(D3dxReference, TheCubeTurnsAsWithD3dxAtEveryTick) {
    for (uint32_t tick : ticks) {
        SCOPED_TRACE(tick);
        const Matrix4 mine[3] = {MatrixRotationX(CubeAngleX(tick)), MatrixRotationY(CubeAngleY(tick)),
                                 MatrixRotationZ(CubeAngleZ(tick))};
        D3DXMATRIX theirs[4];
        d3dx.rotationX(&theirs[0], CubeAngleX(tick));
        d3dx.rotationY(&theirs[1], CubeAngleY(tick));
        d3dx.rotationZ(&theirs[2], CubeAngleZ(tick));
        for (int axis = 0; axis < 3; ++axis) ExpectWithinTwoUnits(mine[axis], theirs[axis]);
        d3dx.multiply(&theirs[3], &theirs[0], &theirs[1]);
        d3dx.multiply(&theirs[3], &theirs[3], &theirs[2]);
        ExpectWithinTwoUnits(MatrixMultiply(MatrixMultiply(mine[0], mine[1]), mine[2]), theirs[3]);
    }
}

// The scene's camera, and level views from elsewhere. A view tilted up or
// down is left out: its vertical axis comes out of a cross product that Wine
// normalises once more, so their translations, sums of terms that cancel,
// differ by about 1e-6, which is more than 2 units for a result near 1.
TEST_F(D3dxReference, TheCameraAndProjectionAreD3dxs) {
    const Vector3 views[][2] = {
        {{0, 0, -50}, {0, 0, 0}}, {{40, 5, 30}, {10, 5, -60}}, {{-7.5f, -2, 12}, {3, -2, 1}}};
    const Vector3 up = {0, 1, 0};
    for (const auto& view : views) {
        const D3DXVECTOR3 eye = AsD3dx(view[0]);
        const D3DXVECTOR3 at = AsD3dx(view[1]);
        const D3DXVECTOR3 upwards = AsD3dx(up);
        D3DXMATRIX theirs;
        d3dx.lookAtLH(&theirs, &eye, &at, &upwards);
        ExpectWithinTwoUnits(MatrixLookAtLH(view[0], view[1], up), theirs);
    }
    D3DXMATRIX theirs;
    d3dx.perspectiveFovLH(&theirs, 0.7853982f, 1.3333334f, 1.0f, 1000.0f);
    ExpectWithinTwoUnits(MatrixPerspectiveFovLH(0.7853982f, 1.3333334f, 1.0f, 1000.0f), theirs);
}

// The program's own image (assets/npc.png, 256 x 256).
TEST_F(D3dxReference, TheTextureIsTheOneD3dxLoads) {
    IDirect3DTexture9* mine = Mine(L"assets_npc.png");
    IDirect3DTexture9* theirs = Reference(L"assets_npc.png");
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

TEST_F(D3dxReference, TheTextureIsLeftOutForAMissingOrBrokenFile) {
    EXPECT_EQ(Mine(L"no such file.png"), nullptr);
    EXPECT_EQ(Mine(L"d3dx_reference_win_tests.exe"), nullptr);
}

// The figure rows: "FPS:" ends at the right edge of the client area.
TEST_F(D3dxReference, RightAlignedTextEndsAtTheRightEdgeWhereD3dxEndsIt) {
    const RECT rect{0, 0, 700, 600};
    const Ink mine = Drawn(Mine(overlayFonts[1]), L"FPS:59.940", rect, DT_RIGHT);
    const Ink theirs = Drawn(Reference(overlayFonts[1]), L"FPS:59.940", rect, DT_RIGHT);
    EXPECT_LE(mine.right, 699);
    EXPECT_GE(mine.right, 695);
    EXPECT_NEAR(mine.right, theirs.right, 2);
    EXPECT_NEAR(mine.left, theirs.left, 3);
    EXPECT_NEAR(mine.top, theirs.top, 2);
    EXPECT_NEAR(mine.bottom, theirs.bottom, 2);
}

// A row at 550 with the 26-pixel font reaches past a client area 575 high.
TEST_F(D3dxReference, TextIsClippedToTheRectangleUnlessToldNotTo) {
    ID3DXFont* font = sceneResources.fonts[2];
    const RECT rect{0, 550, 800, 565};
    EXPECT_EQ(Drawn(font, L"GPU: 计算中...", rect, DT_SINGLELINE).bottom, 564);
    EXPECT_GT(Drawn(font, L"GPU: 计算中...", rect, DT_SINGLELINE | DT_NOCLIP).bottom, 565);
}

// The cube's states after a frame drawn with the overlay's fonts are those
// after the same frame drawn without any text.
TEST_F(D3dxReference, TheTextLeavesEveryStateOfTheCubeAsItWas) {
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
