#pragma once

#include "common/window_size.h"

#include <cstdint>

// Where the window goes on the screen it starts on.

constexpr int32_t windowLeft = 200;
constexpr int32_t windowTop = 50;

// A rectangle of the screen, right and bottom excluded.
struct ScreenBox {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

struct WindowPlace {
    int32_t x;
    int32_t y;
};

// How much the screen is scaled for a program that is not DPI-aware: its
// height in the screen's own pixels over the height such a program is
// shown. 1 when either is unknown.
float ScreenScale(int32_t scaledHeight, int32_t pixelHeight);

// Whether the window is better drawn in the screen's own pixels: the screen
// is scaled and the window does not fit its work area in the scaled pixels
// (a 1366 x 768 laptop at 125 % shows an unaware program 1093 x 614, less
// the taskbar, which hides the verdict).
bool NeedsScreenPixels(const ScreenBox& workArea, float scale);

// A box of width x height at (x, y) where it fits inside area there;
// otherwise moved just enough to fit, and where the area is smaller than the
// box, at its top or left edge.
WindowPlace PlaceInside(const ScreenBox& area, int32_t x, int32_t y, int32_t width, int32_t height);

// The window at (200, 50) placed inside the work area: where the work area is
// smaller than the window its title bar stays on the screen.
WindowPlace PlaceWindow(const ScreenBox& workArea);
