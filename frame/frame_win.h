#pragma once

#include "frame/frame.h"

#include <windows.h>

// The frame on the Direct3D device (the sequence is frame/frame.h's).

// The frame's world (turned by the tick), view and projection transforms and
// the viewport. Does nothing without the device.
void SetFrameTransforms();

// The paint frame, laid out on window's client area, with the device's
// steps. Whatever scene object is missing is skipped. False when the frame
// did not reach the screen.
bool RenderFrame(HWND window);

// The timed frame, an idle pass of the message loop, with the device's
// steps. Without a device it only waits for the next message: nothing is
// measured.
void RunFrame(HWND window);

// The steps on the device, for a frame laid out on the client area of the
// window last passed to RenderFrame or RunFrame.
extern const FrameSteps direct3DFrameSteps;
