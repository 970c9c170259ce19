// The overlay's text where a face it asks for is missing, as on a Windows
// outside China: "黑体" and "华文中宋" absent, "微软雅黑" present (a third
// Wine prefix, scripts/wine-env.sh, where only the latter has a replacement).
#include "benchmarks/scene_window_win.h"
#include "picture_win.h"
#include "render/scene_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr wchar_t prefixEnding[] = L"-outside-china";
constexpr wchar_t canRunRow[] = L"您的机器可以正常运行游戏";
constexpr std::size_t rowCharacters = std::size(canRunRow) - 1;
constexpr std::size_t blackFaceFont = 2;  // "黑体", the status row's
constexpr DWORD rowFormat = DT_SINGLELINE | DT_NOCLIP;
constexpr RECT wholePicture = {0, 0, pictureWidth, pictureHeight};

// The ink between two columns, cut to its own bounds: one text line a row,
// '#' for ink.
std::string ShapeBetween(const std::vector<uint32_t>& pixels, int left, int right) {
    Ink ink;
    for (int y = 0; y < pictureHeight; ++y) {
        for (int x = left; x < right; ++x) {
            if (!IsInk(pixels[y * pictureWidth + x])) continue;
            ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x),
                   std::max(ink.bottom, y)};
        }
    }
    std::string shape;
    for (int y = ink.top; y <= ink.bottom; ++y) {
        for (int x = ink.left; x <= ink.right; ++x) {
            shape += IsInk(pixels[y * pictureWidth + x]) ? '#' : '.';
        }
        shape += '\n';
    }
    return shape;
}

class OutsideChina : public testing::Test {
protected:
    void SetUp() override {
        const wchar_t* prefix = _wgetenv(L"WINEPREFIX");
        const std::wstring own = prefix ? prefix : L"";
        ASSERT_TRUE(own.size() > std::size(prefixEnding) &&
                    own.compare(own.size() - std::size(prefixEnding) + 1, std::wstring::npos,
                                prefixEnding) == 0)
            << "run in the outside-China prefix (scripts/wine-env.sh)";
        window = CreateSceneWindow();
        ASSERT_EQ(InitDirect3D(window), S_OK);
    }
    void TearDown() override {
        ReleaseSceneResources();
        DestroySceneWindow(window);
    }
    HWND window = nullptr;
};

}  // namespace

// The row drawn from the left edge and again ending at the right edge lies
// the picture's width less its own apart, which gives the width of its twelve
// equal cells. Missing-glyph boxes would all be alike.
TEST_F(OutsideChina, TheVerdictRowInTheBlackFaceShowsTwelveDifferentCharacters) {
    IDirect3DDevice9* device = sceneResources.device;
    ID3DXFont* font = sceneResources.fonts[blackFaceFont];
    ASSERT_NE(font, nullptr);
    const std::vector<uint32_t> fromLeft =
        DrawnText(device, font, canRunRow, wholePicture, rowFormat);
    const std::vector<uint32_t> toRight =
        DrawnText(device, font, canRunRow, wholePicture, rowFormat | DT_RIGHT);
    const int rowWidth = pictureWidth - (InkOf(toRight).left - InkOf(fromLeft).left);
    ASSERT_EQ(rowWidth % static_cast<int>(rowCharacters), 0) << rowWidth;
    const int cell = rowWidth / static_cast<int>(rowCharacters);
    std::vector<std::string> shapes;
    for (std::size_t i = 0; i < rowCharacters; ++i) {
        const int left = static_cast<int>(i) * cell;
        shapes.push_back(ShapeBetween(fromLeft, left, left + cell));
    }
    for (std::size_t i = 0; i < rowCharacters; ++i) {
        for (std::size_t j = i + 1; j < rowCharacters; ++j) {
            EXPECT_NE(shapes[i], shapes[j]) << "characters " << i << " and " << j;
        }
    }
}
