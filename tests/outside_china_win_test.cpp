// The overlay's text where a face it asks for is missing, as on a Windows
// outside China: "黑体" and "华文中宋" absent, "微软雅黑" present (a third
// Wine prefix, scripts/wine-env.sh, where only the latter has a replacement).
#include "benchmarks/scene_window_win.h"
#include "picture_win.h"
#include "render/scene_win.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

// Each character of the status row drawn alone in the row's face, "黑体":
// missing-glyph boxes would all be alike.
TEST(OutsideChina, TheVerdictRowInTheBlackFaceShowsTwelveDifferentCharacters) {
    const std::wstring prefix = _wgetenv(L"WINEPREFIX") ? _wgetenv(L"WINEPREFIX") : L"";
    const std::wstring ending = L"-outside-china";
    ASSERT_TRUE(prefix.size() > ending.size() &&
                prefix.compare(prefix.size() - ending.size(), ending.size(), ending) == 0)
        << "run in the outside-China prefix (scripts/wine-env.sh)";
    HWND window = CreateSceneWindow();
    ASSERT_EQ(InitDirect3D(window), S_OK);
    const std::wstring row = L"您的机器可以正常运行游戏";
    std::vector<std::vector<uint32_t>> pictures;
    for (wchar_t character : row) {
        const wchar_t text[] = {character, L'\0'};
        pictures.push_back(DrawnText(sceneResources.device, sceneResources.fonts[2], text,
                                     {0, 0, pictureWidth, pictureHeight}, DT_SINGLELINE));
    }
    for (std::size_t i = 0; i < row.size(); ++i) {
        for (std::size_t j = i + 1; j < row.size(); ++j) {
            EXPECT_NE(pictures[i], pictures[j]) << "characters " << i << " and " << j;
        }
    }
    ReleaseSceneResources();
    DestroySceneWindow(window);
}
