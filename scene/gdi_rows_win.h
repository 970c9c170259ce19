#pragma once

#include <windows.h>

// What the window shows when there is no Direct3D 9 device: the overlay's
// rows drawn with GDI on the frame's grey, at their tops, in their fonts
// (the same faces and heights), colours and alignment, from the check state
// as it stands, with the moving average as the meters hold it. Nothing is
// counted in the meters.
void DrawRowsWithGdi(HDC context, const RECT& client, float movingAverage);

// The paint message's work for window: DrawRowsWithGdi on its client area, which
// is then valid.
void PaintRowsWithGdi(HWND window, float movingAverage);
