#include "common/check_state.h"
#include "render/frame_win.h"
#include "render/scene_win.h"
#include "render_allocations.h"
#include "render_scene_win.h"
#include "stats/run_frame_win.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t grey = 0xFF646464;
constexpr uint32_t figureGreen = 0xFF87EF88;
constexpr uint32_t lineGreen = 0xFF00EF88;
constexpr uint32_t pink = 0xFFEB7BE6;
constexpr uint32_t red = 0xFFFF0000;

void ExpectGreyCorners(const FramePixels& frame) {
    for (int y : {0, 599}) {
        for (int x : {0, 799}) EXPECT_EQ(frame.At(x, y), grey) << x << ", " << y;
    }
}

void FillOverlayState() {
    checkState.cpuLine = L"CPU型号: Test CPU";
    checkState.osLine = L"Windows 10";
    checkState.memoryLine = L"内存: 8 GB";
}

// Settled meters: the batch average, and six readings of 60 per second that
// the frame's own reading (at tick 0) leaves in place.
void SettleMeters(double average) {
    checkState.frameBatchAverage.average = average;
    for (int i = 0; i < 6; ++i) checkState.fpsMovingAverage.window.push_back(60.0f);
}

}  // namespace

TEST_F(SceneTest, FrameShowsTheUnturnedCubeWithTheImageTwiceEachWayOnGrey) {
    FramePixels frame = CaptureFrame(window, true);
    ASSERT_FALSE(frame.pixels.empty());
    ExpectGreyCorners(frame);
    // Unturned, the front face spans about x 219 to 581 and y 119 to 481.
    const uint32_t quadrants[2][2] = {{0xFFC81E1E, 0xFF1EA028}, {0xFF283CD2, 0xFFDCC828}};
    for (int across = 0; across < 4; ++across) {
        for (int down = 0; down < 4; ++down) {
            int x = 219 + 362 * (2 * across + 1) / 8;
            int y = 119 + 362 * (2 * down + 1) / 8;
            EXPECT_EQ(frame.At(x, y), quadrants[down % 2][across % 2]) << x << ", " << y;
        }
    }
    for (int x : {210, 590}) EXPECT_EQ(frame.At(x, 300), grey);
    for (int y : {110, 490}) EXPECT_EQ(frame.At(400, y), grey);
}

TEST_F(SceneTest, FrameBeforeAnyTransformsShowsNoCube) {
    FramePixels frame = CaptureFrame(window, false);
    ASSERT_FALSE(frame.pixels.empty());
    for (int y = 130; y < 480; y += 7) {
        for (int x = 150; x < 650; x += 7) ASSERT_EQ(frame.At(x, y), grey) << x << ", " << y;
    }
    ExpectGreyCorners(frame);
}

TEST_F(SceneTest, OverlayRowsShowTheirColoursAndTheStatusTurnsRedOnlyWhenSettled) {
    FillOverlayState();
    FramePixels measuring = CaptureFrame(window, true);
    ASSERT_FALSE(measuring.pixels.empty());
    RECT client{};
    GetClientRect(window, &client);
    for (int top : {0, 30, 60}) {
        EXPECT_TRUE(measuring.Has(figureGreen, top, top + 23, client.right - 150, client.right)) << top;
        EXPECT_TRUE(measuring.Has(lineGreen, top, top + 23, 0, 150)) << top;
    }
    EXPECT_TRUE(measuring.Has(lineGreen, 90, 113, 0, 150));
    EXPECT_FALSE(measuring.Has(figureGreen, 0, 600, client.right, 800));
    EXPECT_TRUE(measuring.Has(pink, 500, 526) && !measuring.Has(red, 500, 526));
    EXPECT_TRUE(measuring.Has(red, 550, 576));

    SettleMeters(1200.0);
    checkState.canRunGame = false;
    FramePixels negative = CaptureFrame(window, true);
    ASSERT_FALSE(negative.pixels.empty());
    EXPECT_TRUE(negative.Has(red, 500, 526) && !negative.Has(pink, 500, 526));
    checkState.canRunGame = true;
    FramePixels positive = CaptureFrame(window, true);
    ASSERT_FALSE(positive.pixels.empty());
    EXPECT_TRUE(positive.Has(pink, 500, 526) && !positive.Has(red, 500, 526));
}

TEST_F(SceneTest, NarrowClientMovesTheFiguresAndTheLowRowsAreStillDrawn) {
    FillOverlayState();
    SetWindowPos(window, nullptr, 0, 0, 600, 420, SWP_NOMOVE | SWP_NOZORDER);
    RECT client{};
    GetClientRect(window, &client);
    FramePixels frame = CaptureFrame(window, true);
    SetWindowPos(window, nullptr, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_FALSE(frame.pixels.empty());
    ASSERT_LT(client.bottom, 500);
    EXPECT_TRUE(frame.Has(figureGreen, 0, 90, client.right - 20, client.right));
    EXPECT_FALSE(frame.Has(figureGreen, 0, 90, client.right, 800));
    EXPECT_TRUE(frame.Has(pink, 500, 526));
    EXPECT_TRUE(frame.Has(red, 550, 576));
}

TEST_F(SceneTest, FrameWithoutFontsAndBuffersSkipsThemAndStillCounts) {
    for (int index : {1, 2}) {
        sceneResources.fonts[index]->Release();
        sceneResources.fonts[index] = nullptr;
    }
    sceneResources.vertexBuffer->Release();
    sceneResources.vertexBuffer = nullptr;
    FillOverlayState();
    FramePixels frame = CaptureFrame(window, true);
    ASSERT_FALSE(frame.pixels.empty());
    EXPECT_EQ(frame.At(400, 300), grey);
    EXPECT_FALSE(frame.Has(lineGreen, 0, 600) || frame.Has(red, 0, 600));
    EXPECT_EQ(checkState.fpsCounter.frames, 1);
    EXPECT_EQ(checkState.fpsMovingAverage.frames, 1);
}

TEST_F(SceneTest, PaintFramesTickTheMetersTimedFramesAlsoTheBatchAndNoneAllocates) {
    FillOverlayState();
    SettleMeters(1200.0);
    std::size_t before = allocationCount;
    for (int frame = 0; frame < 20; ++frame) {
        RunFrame(window);
        RenderFrame(window);  // as for a paint message
    }
    EXPECT_EQ(allocationCount, before);
    EXPECT_EQ(checkState.fpsCounter.frames, 40);
    EXPECT_EQ(checkState.fpsMovingAverage.frames, 40);
    EXPECT_EQ(checkState.frameBatchAverage.frames, 20);
    EXPECT_EQ(checkState.frameBatchAverage.batchMilliseconds, 20 * 250.0);
}
