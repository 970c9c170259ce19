// What the program's own frame costs the processor. In alternating blocks on
// one device, so that all four see the same machine load:
//   bare   Clear + Present,
//   cube   the transforms, clear, begin, the cube, end, present (no text),
//   full   SetFrameTransforms + RenderFrame, what RunFrame times,
//   tip    the same with the status row's tooltip open over the window.
// Run under Mesa's no-op driver (scripts/frame-cost), which draws nothing, a
// frame costs its processor side alone, as on a graphics card near the frame
// rule's bar of 0.415 ms a frame; full - bare is then the program's own cost,
// taken from the median blocks.
//   render_frame_rate [rounds [frames per block]]
// "npc.png" is loaded from the working directory, as by the checker.

#include "app/tip_win.h"
#include "benchmarks/scene_window_win.h"
#include "frame/frame_win.h"
#include "platform/clock.h"
#include "scene/overlay.h"
#include "scene/scene_win.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Many short blocks: the medians leave out the blocks other work on the
// machine slowed down.
constexpr int defaultRounds = 100;
constexpr int defaultBlockFrames = 200;
// The frame rule's bar: five equal 3001-frame sums of about 1246 ms.
constexpr double budgetMicroseconds = 415.0;

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void BareFrame(HWND) {
    IDirect3DDevice9* device = sceneResources.device;
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, backgroundColour, 1.0f, 0);
    device->Present(nullptr, nullptr, nullptr, nullptr);
}

// The frame's own steps less the rows.
void CubeFrame(HWND window) {
    DeviceFrame frame;
    frame.window = window;
    const FrameSteps steps = DeviceFrameSteps(frame);
    steps.setTransforms(steps.context);
    steps.beginScene(steps.context);
    steps.drawCube(steps.context);
    steps.endScene(steps.context);
    steps.present(steps.context);
}

void FullFrame(HWND window) {
    SetFrameTransforms();
    RenderFrame(window);
}

// The pointer resting on the status row opens the tooltip, as in the checker.
void OpenTip(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    const RowBand band = StatusRowBand(client.bottom, true);
    PointerRested(window, POINT{100, (band.top + band.bottom) / 2});
}

// Seconds taken by frames frames, with the tooltip open or not.
double TimeBlock(void (*frame)(HWND), HWND window, int frames, bool tip) {
    if (tip) OpenTip(window);
    else HideTip();
    PumpMessages();
    int64_t start = PerformanceCounter();
    for (int i = 0; i < frames; ++i) frame(window);
    int64_t end = PerformanceCounter();
    return static_cast<double>(end - start) / static_cast<double>(PerformanceFrequency());
}

struct Kind {
    const char* name;
    void (*frame)(HWND);
    bool tip;
    double seconds = 0.0;
    std::vector<double> blockRates;  // frames per second of each block
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

// Of the median block.
double MicrosecondsPerFrame(const Kind& kind) { return 1e6 / Median(kind.blockRates); }

void PrintKind(const Kind& kind, double frames) {
    const double overall = kind.seconds / frames * 1e6;
    std::printf("%-4s all blocks %7.1f us/frame %8.1f frames/s; median block %7.1f us/frame "
                "%8.1f frames/s\n",
                kind.name, overall, 1e6 / overall, MicrosecondsPerFrame(kind),
                Median(kind.blockRates));
}

void PrintCost(const char* what, double microseconds) {
    std::printf("%-34s %6.1f us a frame, %5.1f%% of the %.0f us budget\n", what, microseconds,
                100.0 * microseconds / budgetMicroseconds, budgetMicroseconds);
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::atoi(argv[1]) : defaultRounds;
    int blockFrames = argc > 2 ? std::atoi(argv[2]) : defaultBlockFrames;
    if (rounds <= 0 || blockFrames <= 0) {
        std::fprintf(stderr, "usage: render_frame_rate [rounds [frames per block]]\n");
        return 2;
    }
    RegisterTipClass(GetModuleHandleW(nullptr));
    HWND window = CreateSceneWindow();
    if (!window || InitDirect3DAndJudge(window) != S_OK) {
        std::fprintf(stderr, "render_frame_rate: no Direct3D device\n");
        ReleaseSceneResources();
        DestroySceneWindow(window);
        return 1;
    }
    std::printf("texture: %s\n", sceneResources.cubeTexture ? "npc.png" : "none (untextured)");
    Kind kinds[] = {{"bare", BareFrame, false, 0.0, {}},
                    {"cube", CubeFrame, false, 0.0, {}},
                    {"full", FullFrame, false, 0.0, {}},
                    {"tip", FullFrame, true, 0.0, {}}};
    FullFrame(window);  // the steps' window
    for (Kind& kind : kinds) TimeBlock(kind.frame, window, blockFrames, kind.tip);  // warm-up
    for (int round = 0; round < rounds; ++round) {
        for (Kind& kind : kinds) {
            double seconds = TimeBlock(kind.frame, window, blockFrames, kind.tip);
            kind.seconds += seconds;
            kind.blockRates.push_back(blockFrames / seconds);
        }
    }
    const double frames = static_cast<double>(rounds) * blockFrames;
    std::printf("%d rounds of %d frames each\n", rounds, blockFrames);
    for (const Kind& kind : kinds) PrintKind(kind, frames);
    const double bare = MicrosecondsPerFrame(kinds[0]);
    const double cube = MicrosecondsPerFrame(kinds[1]);
    const double full = MicrosecondsPerFrame(kinds[2]);
    const double tip = MicrosecondsPerFrame(kinds[3]);
    PrintCost("own cost, medians (full - bare):", full - bare);
    PrintCost("of which the rows (full - cube):", full - cube);
    PrintCost("own cost, tooltip open (tip - bare):", tip - bare);
    DestroyTip();
    ReleaseSceneResources();
    DestroySceneWindow(window);
    return 0;
}
