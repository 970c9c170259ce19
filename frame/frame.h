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
// D3DERR_DEVICELOST, D3DERR_DEVICENOTRESET, and D3DERR_INVALIDCALL, which
// the steps answer for a Present without a device.
constexpr HResult deviceResultOk = 0;
constexpr HResult deviceResultLost = static_cast<HResult>(0x88760868u);
constexpr HResult deviceResultNotReset = static_cast<HResult>(0x88760869u);
constexpr HResult deviceResultInvalidCall = static_cast<HResult>(0x8876086Cu);

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
    // The machine's and this process's processor times, read as a batch
    // begins and ends, outside the timed span.
    ProcessorTimes (*processorTimes)();
};

// What frames hand on to the next besides the meters.
struct FrameState {
    // A Present failed: no frame until the device says it works again.
    bool deviceLost = false;
    bool minimised = false;
    // The frame-rate meters as they stood before the frame in progress.
    FpsCounter fpsCounterBeforeFrame;
    FpsMovingAverage fpsMovingAverageBeforeFrame;
    // The processor times as the current batch began; read before the first
    // timed frame, then as each batch closes.
    ProcessorTimes batchBegan;
    bool batchBeganRead = false;
};

// The paint frame, drawn for a paint message and, timed, by TimeFrame. It sets
// no transforms: they stay on the device from frame to frame, so a paint
// redraws the cube as the last timed frame turned it, and turning it is part
// of the timed frame whose cost the frame rule is set for. A frame whose
// Present fails in any way is taken back out of both frame-rate meters: it
// never reached the screen, and a lost device makes frames almost free, so
// counting them would read a slow machine as a fast one. Nothing is drawn or
// counted while nobody could see it (minimised, lost, without a device). True
// when the frame reached the screen.
bool PaintFrame(FrameState& frame, CheckState& state, const FrameSteps& steps);

// The timed frame, an idle pass of the message loop: the transforms and the
// paint frame between two performance-counter readings, then the batch and
// the frame-time rule; as a batch closes, what other processes took of the
// processor while it ran. A lost device is reset once it allows it, and one
// the driver gave up on is made again as at start-up; when none comes the
// machine is judged as one without a device. After time away from the screen
// (a reset, a new device, a minimised stretch) both frame-rate meters start
// a new second, so that the time away does not read as a slow second; the
// batch keeps its frames, since no frame was timed meanwhile.
void TimeFrame(FrameState& frame, CheckState& state, const FrameSteps& steps);
