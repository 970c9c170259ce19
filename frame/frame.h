#pragma once

#include "common/check_state.h"
#include "platform/hresult.h"

#include <cstdint>

// One frame of the check, from start to end, whatever draws it: the order of
// its steps, which meters count it and when, what a timed frame adds to the
// batch, what a frame that did not reach the screen takes back, and what a
// lost device's reset starts anew. The steps that touch the platform are
// given as a table: the Direct3D glue's (frame/frame_win.h) in the
// program, scripted ones in the tests.

// The device's results that decide what becomes of a frame, as Direct3D 9
// defines them (checked against d3d9.h where that builds): D3D_OK,
// D3DERR_DEVICELOST, D3DERR_DEVICENOTRESET.
constexpr HResult deviceResultOk = 0;
constexpr HResult deviceResultLost = static_cast<HResult>(0x88760868u);
constexpr HResult deviceResultNotReset = static_cast<HResult>(0x88760869u);

// What a frame asks of the platform, filled by name. Each step but the
// clocks is handed context: the platform's data for the frame in progress.
struct FrameSteps {
    void* context = nullptr;
    bool (*windowMinimised)(void* context);  // nobody sees a frame then
    void (*setTransforms)(void* context);    // the cube's turn at the tick, the camera
    // Clear, lay the rows out on the client area, begin the scene.
    void (*beginScene)(void* context);
    void (*drawCube)(void* context);
    // The overlay's rows in two parts: the moving average is fed between the
    // CPU figure and the FPSMA row, so the rows from FPSMA on show the figure
    // this very frame produced.
    void (*drawRowsToCpuFigure)(void* context);
    void (*drawRowsFromFpsma)(void* context, float movingAverage);
    void (*endScene)(void* context);
    HResult (*present)(void* context);
    HResult (*testCooperativeLevel)(void* context);  // while lost: can the device be reset?
    HResult (*resetDevice)(void* context);           // reset it and make its objects again
    // Release the device and its objects and make them again as at start-up:
    // OK when a device came.
    HResult (*recreateDevice)(void* context);
    void (*waitBriefly)(void* context);  // while lost: a short wait a message ends
    void (*waitForMessage)(void* context);
    float (*tickSeconds)();  // the tick as the meters read it
    int64_t (*performanceCounter)();
    int64_t (*performanceFrequency)();
};

// What frames hand on to the next besides the meters.
struct FrameState {
    // A Present failed: no frame until the device says it works again.
    bool deviceLost = false;
    bool minimised = false;
    // The frame-rate meters as they stood before the frame in progress.
    FpsCounter fpsCounterBeforeFrame;
    FpsMovingAverage fpsMovingAverageBeforeFrame;
};

extern FrameState frameState;

// The paint frame, drawn for a paint message and, timed, by RunFrame: the
// FPS counter counts it after the cube, the moving average between the CPU
// figure and the FPSMA row. A frame whose Present fails in any way (the
// device lost, or the driver in trouble) is taken back out of both: it never
// reached the screen, and a lost device makes frames almost free, so counting
// them would read a slow machine as a fast one. While the device has not
// come back, while the window is minimised and without a device nothing is
// drawn or counted. True when the frame reached the screen.
bool RenderFrame(FrameState& frame, CheckState& state, const FrameSteps& steps);

// The timed frame, an idle pass of the message loop. With a working device:
// the transforms and the paint frame, timed by the performance counter; a
// frame that reached the screen enters the batch, and the frame-time rule is
// applied. After a failed Present the device is asked what became of it:
// once it answers "not reset" (or works again) it is reset; while it answers
// "lost" the pass waits briefly; any other result (the driver gave up on it)
// has it released and made again as at start-up, and when no device comes
// the machine fails as one without a device. While the window is minimised,
// and without a device, the pass waits for the next message. After a reset,
// a new device or a minimised stretch both frame-rate meters start a new
// second, so the time away does not read as a slow second; the batch keeps
// its frames.
void RunFrame(FrameState& frame, CheckState& state, const FrameSteps& steps);
