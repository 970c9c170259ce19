#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

// This test program's clock, in place of tarvoquin_clock: the tests set the
// tick; the performance counter advances 250 per reading at 1000 per second,
// so every frame RunFrame times takes exactly 250 ms.
extern uint32_t fakeTick;

// A frame as drawn, 800 x 600 ARGB pixels.
struct FramePixels {
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * 800 + x]; }
    bool Has(uint32_t colour, int top, int bottom, int left = 0, int right = 800) const;
};

// Draws one frame (after SetFrameTransforms when asked) and reads it back.
// Once presented, a discarding swap chain's back buffers hold nothing defined,
// so the frame is drawn into a render target of the back buffer's size and
// format put in its place.
FramePixels CaptureFrame(HWND window, bool setTransforms);

// A fresh device per test on the shared test window, created in a working
// directory with "npc.png" (a 64 x 64 image of four quadrants: red, green
// over blue, yellow), without one, or with one of random bytes.
class SceneTest : public testing::Test {
protected:
    explicit SceneTest(const wchar_t* folder = L"render_scene\\textured") : folder(folder) {}
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    static HWND window;
    const wchar_t* folder;
};

class UntexturedSceneTest : public SceneTest {
protected:
    UntexturedSceneTest() : SceneTest(L"render_scene\\untextured") {}
};

class CorruptTextureSceneTest : public SceneTest {
protected:
    CorruptTextureSceneTest() : SceneTest(L"render_scene\\corrupt") {}
};
