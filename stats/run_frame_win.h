#pragma once

#include <windows.h>

// One idle-time frame: the transforms and the render timed with the
// performance counter, then the batch average and its verdict rule.
void RunFrame(HWND window);
