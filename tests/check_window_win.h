#pragma once

#include "render/scene_win.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

// The tick this test program reads instead of timeGetTime; its performance
// counter advances 250 per reading at 1000 per second, so every frame that
// RunFrame times takes exactly 250 ms.
extern uint32_t fakeTick;

// The checker's own window class and a window of it, shown at (200, 50),
// 800 x 600, with InitDirect3D run on it in the test's working directory
// (which holds a 64 x 64 "npc.png" and no "root.ico"), from a fresh
// checkState at tick 0.
class CheckWindow : public testing::Test {
protected:
    explicit CheckWindow(HRESULT initResult = S_OK) : initResult(initResult) {}
    void SetUp() override;
    void TearDown() override;
    HRESULT initResult;
    HWND window = nullptr;
};

inline bool NoSceneObjects() {
    const SceneResources none{};
    return std::memcmp(&sceneResources, &none, sizeof none) == 0;
}
