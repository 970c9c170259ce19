// Frames per second of the check scene (SetFrameTransforms + RenderFrame)
// against bare frames (Clear + Present), both on the same device, in
// alternating blocks so that both see the same machine load.
//   render_frame_rate [rounds [frames per block]]
// "npc.png" is loaded from the working directory, as by the checker.

#include "benchmarks/scene_window_win.h"
#include "common/clock.h"
#include "render/frame_win.h"
#include "render/overlay.h"
#include "render/scene_win.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int defaultRounds = 10;
constexpr int defaultBlockFrames = 100;

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void SceneFrame(HWND window) {
    SetFrameTransforms();
    RenderFrame(window);
}

void BareFrame(HWND) {
    IDirect3DDevice9* device = sceneResources.device;
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, backgroundColour, 1.0f, 0);
    device->Present(nullptr, nullptr, nullptr, nullptr);
}

// Seconds taken by frames frames.
double TimeBlock(void (*frame)(HWND), HWND window, int frames) {
    PumpMessages();
    int64_t start = PerformanceCounter();
    for (int i = 0; i < frames; ++i) frame(window);
    int64_t end = PerformanceCounter();
    return static_cast<double>(end - start) / static_cast<double>(PerformanceFrequency());
}

struct Rate {
    double seconds = 0.0;
    double slowest = 1e300;  // the lowest block rate
    double fastest = 0.0;
};

void AddBlock(Rate& rate, double seconds, int frames) {
    rate.seconds += seconds;
    double perSecond = frames / seconds;
    if (perSecond < rate.slowest) rate.slowest = perSecond;
    if (perSecond > rate.fastest) rate.fastest = perSecond;
}

void PrintRate(const char* what, const Rate& rate, double frames) {
    const double perSecond = frames / rate.seconds;
    std::printf("%-28s %8.1f frames/s  %6.3f ms/frame  blocks %.1f..%.1f\n", what, perSecond,
                1000.0 / perSecond, rate.slowest, rate.fastest);
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::atoi(argv[1]) : defaultRounds;
    int blockFrames = argc > 2 ? std::atoi(argv[2]) : defaultBlockFrames;
    if (rounds <= 0 || blockFrames <= 0) {
        std::fprintf(stderr, "usage: render_frame_rate [rounds [frames per block]]\n");
        return 2;
    }
    HWND window = CreateSceneWindow();
    if (!window || InitDirect3D(window) != S_OK) {
        std::fprintf(stderr, "render_frame_rate: no Direct3D device\n");
        ReleaseSceneResources();
        DestroySceneWindow(window);
        return 1;
    }
    std::printf("texture: %s\n", sceneResources.cubeTexture ? "npc.png" : "none (untextured)");
    TimeBlock(SceneFrame, window, blockFrames);  // warm-up, not counted
    TimeBlock(BareFrame, window, blockFrames);
    Rate scene;
    Rate bare;
    for (int round = 0; round < rounds; ++round) {
        AddBlock(scene, TimeBlock(SceneFrame, window, blockFrames), blockFrames);
        AddBlock(bare, TimeBlock(BareFrame, window, blockFrames), blockFrames);
    }
    const double frames = static_cast<double>(rounds) * blockFrames;
    std::printf("%d rounds of %d frames each\n", rounds, blockFrames);
    PrintRate("scene:", scene, frames);
    PrintRate("bare (Clear + Present):", bare, frames);
    std::printf("scene / bare rate: %.3f\n", bare.seconds / scene.seconds);
    ReleaseSceneResources();
    DestroySceneWindow(window);
    return 0;
}
