// Frames per second of the check scene (SetFrameTransforms + RenderFrame)
// drawn with D3DX and drawn with the program's stand-ins for it, against
// bare frames (Clear + Present), all on the same device, in alternating
// blocks so that all three see the same machine load.
//   render_frame_rate [rounds [frames per block]]
// "npc.png" is loaded from the working directory, as by the checker. Needs
// the DirectX runtime's d3dx9_43.dll (Wine has its own).

#include "benchmarks/scene_window_win.h"
#include "common/clock.h"
#include "render/d3dx_win.h"
#include "render/frame_win.h"
#include "render/overlay.h"
#include "render/scene_win.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

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

// What the frame draws with that D3DX makes: its table, the fonts, the texture.
struct D3dxKit {
    D3dxFunctions functions;
    ID3DXFont* fonts[3] = {};
    IDirect3DTexture9* texture = nullptr;
};

void Swap(D3dxKit& kit) {
    std::swap(kit.functions, d3dx);
    for (int i = 0; i < 3; ++i) std::swap(kit.fonts[i], sceneResources.fonts[i]);
    std::swap(kit.texture, sceneResources.cubeTexture);
}

// Times a block of scene frames drawn with the kit's objects.
double TimeSceneWith(D3dxKit& kit, HWND window, int frames) {
    Swap(kit);
    double seconds = TimeBlock(SceneFrame, window, frames);
    Swap(kit);
    return seconds;
}

// The stand-ins' fonts and texture on the scene's device.
D3dxKit StandInKit() {
    D3dxKit kit{D3dxStandIns(), {}, nullptr};
    Swap(kit);
    CreateD3dxObjects();
    Swap(kit);
    return kit;
}

void ReleaseKit(D3dxKit& kit) {
    for (ID3DXFont* font : kit.fonts) {
        if (font) font->Release();
    }
    if (kit.texture) kit.texture->Release();
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
    if (!window || InitDirect3D(window) != S_OK || !d3dx.module) {
        std::fprintf(stderr, "render_frame_rate: no Direct3D device, or no d3dx9_43.dll\n");
        ReleaseSceneResources();
        DestroySceneWindow(window);
        return 1;
    }
    std::printf("texture: %s\n", sceneResources.cubeTexture ? "npc.png" : "none (untextured)");
    D3dxKit standIns = StandInKit();
    D3dxKit none{};  // the runtime's own, in place
    TimeSceneWith(none, window, blockFrames);  // warm-up, not counted
    TimeSceneWith(standIns, window, blockFrames);
    TimeBlock(BareFrame, window, blockFrames);
    Rate withD3dx;
    Rate withStandIns;
    Rate bare;
    for (int round = 0; round < rounds; ++round) {
        AddBlock(withD3dx, TimeBlock(SceneFrame, window, blockFrames), blockFrames);
        AddBlock(withStandIns, TimeSceneWith(standIns, window, blockFrames), blockFrames);
        AddBlock(bare, TimeBlock(BareFrame, window, blockFrames), blockFrames);
    }
    const double frames = static_cast<double>(rounds) * blockFrames;
    std::printf("%d rounds of %d frames each\n", rounds, blockFrames);
    PrintRate("scene with D3DX:", withD3dx, frames);
    PrintRate("scene with the stand-ins:", withStandIns, frames);
    PrintRate("bare (Clear + Present):", bare, frames);
    std::printf("stand-in frame time / D3DX frame time: %.3f\n",
                withStandIns.seconds / withD3dx.seconds);
    std::printf("D3DX scene / bare rate: %.3f\n", bare.seconds / withD3dx.seconds);
    ReleaseKit(standIns);
    ReleaseSceneResources();
    DestroySceneWindow(window);
    return 0;
}
