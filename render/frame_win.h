#pragma once

#include <windows.h>

// The frame's world (turned by the tick), view and projection transforms and
// the viewport. Does nothing without the device or D3DX.
void SetFrameTransforms();

// Clears, draws the cube and the overlay laid out on window's client area,
// and presents; ticks both frame-rate meters. Whatever scene object is
// missing is skipped; the meters still count. False when the frame did not
// reach the screen: while the device is lost nothing is drawn, and a frame
// whose Present finds it lost is taken back out of the meters.
bool RenderFrame(HWND window);
