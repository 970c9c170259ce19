#pragma once

#include <windows.h>

// One idle-time frame: the transforms and the render timed with the
// performance counter, then the batch average and its verdict rule. A frame
// that did not reach the screen enters no batch. While the device is lost a
// pass draws nothing: it asks the device whether it can be reset, resets it
// when it can, and otherwise waits briefly. Without a device it only waits
// for the next message.
void RunFrame(HWND window);
