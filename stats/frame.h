#pragma once

#include "common/check_state.h"

#include <cstdint>

// One frame of the check, from start to end, whatever draws it: the order of
// its steps, which meters count it and when, what a timed frame adds to the
// batch, what a frame that did not reach the screen takes back, and what a
// lost device's reset starts anew. The steps that touch the platform are
// given as a table: the Direct3D glue's (render/frame_win.h) in the
// program, scripted ones in the tests.

// The device's answers that decide what becomes of a frame, as Direct3D 9
// defines them (checked against d3d9.h where that builds): D3D_OK,
// D3DERR_DEVICELOST, D3DERR_DEVICENOTRESET.
constexpr int32_t deviceAnswerOk = 0;
constexpr int32_t deviceAnswerLost = static_cast<int32_t>(0x88760868u);
constexpr int32_t deviceAnswerNotReset = static_cast<int32_t>(0x88760869u);

// What a frame asks of the platform.
struct FrameSteps {
    void (*setTransforms)();  // the cube's turn at the tick, the camera
    void (*drawCube)();       // clear, begin the scene, draw the cube
    // The overlay's rows up to the CPU figure, then the rest, which show the
    // moving average.
    void (*drawRowsToCpuFigure)();
    void (*drawRowsFromFpsma)(float movingAverage);
    int32_t (*present)();               // end the scene and present: the answer
    int32_t (*testCooperativeLevel)();  // while lost: can the device be reset?
    int32_t (*resetDevice)();           // reset it and make its objects again
    void (*waitBriefly)();              // while lost: a short wait a message ends
    float (*tickSeconds)();             // the tick as the meters read it
    int64_t (*performanceCounter)();
    int64_t (*performanceFrequency)();
};

// What frames hand on to the next besides the meters.
struct FrameState {
    bool deviceLost = false;
    // The frame-rate meters as they stood before the frame in progress.
    FpsCounter fpsCounterBeforeFrame;
    FpsMovingAverage fpsMovingAverageBeforeFrame;
};

extern FrameState frameState;

// A frame drawn and presented, as for a paint message: the FPS counter
// counts it after the cube, the moving average between the CPU figure and
// the FPSMA row. A frame whose Present finds the device lost is taken back
// out of both (a lost device makes frames almost free, and counting them
// would read a slow machine as a fast one), and while the device stays lost
// nothing is drawn or counted. True when the frame reached the screen.
bool DrawFrame(FrameState& frame, CheckState& state, const FrameSteps& steps);

// An idle pass of the message loop. With a working device: the transforms
// and DrawFrame, timed by the performance counter; a frame that reached the
// screen enters the batch, and the frame-time rule is applied. While the
// device is lost: it is reset once it answers "not reset" (or works again),
// and both frame-rate meters then start a new second, so the time lost does
// not read as a slow second (the batch keeps its frames); otherwise, or when
// the reset fails, the pass waits briefly.
void RunTimedFrame(FrameState& frame, CheckState& state, const FrameSteps& steps);
