#pragma once

#include "frame/frame.h"
#include "scene/overlay.h"

#include <windows.h>

// The frame on the Direct3D device (the sequence is frame/frame.h's), and the
// device's making and remaking, which judge the machine on its device.

// What the device's steps of one frame share: the window whose client area
// lays the rows out, that area as the scene began, and the rows' text
// buffers, formatted in place (the frame allocates nothing).
struct DeviceFrame {
    HWND window = nullptr;
    RECT rowArea{};
    OverlayTexts texts;
};

// The machine's and this process's processor times now: what the frame's
// steps read as a batch begins and ends, and start-up around the workloads.
ProcessorTimes ReadProcessorTimes();

// The steps on the device for frame.
FrameSteps DeviceFrameSteps(DeviceFrame& frame);

// InitDirect3D for window, and the device rule recorded from what it found:
// a machine without a Direct3D 9 device, or whose device cannot make the
// cube's or the rows' objects, fails here, at start-up or when a device the
// driver gave up on is made again.
HRESULT InitDirect3DAndJudge(HWND window);

// The frame's world (turned by the tick), view and projection transforms and
// the viewport. Does nothing without the device.
void SetFrameTransforms();

// The frames the window's life hands on, one a process.
extern FrameState frameState;

// The paint frame (PaintFrame) on the window's device, laid out on its
// client area; the timed frame renders it too. Whatever scene object is
// missing is skipped. False when the frame did not reach the screen.
bool RenderFrame(HWND window);

// The timed frame (TimeFrame), an idle pass of the message loop, on the
// window's device. Without a device it only waits for the next message:
// nothing is measured.
void RunFrame(HWND window);
