#pragma once

#include <windows.h>

// A plain window placed and sized like the checker's (at (200, 50), 800 x 600
// outer), shown, for the frame-rate benchmark.
HWND CreateSceneWindow();
void DestroySceneWindow(HWND window);
