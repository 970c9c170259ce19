#pragma once

#include "app/window_place.h"
#include "common/check_state.h"

#include <windows.h>

#include <cstdint>

// What start-up reads of the machine and its screen, one platform call a
// figure; a call the platform lacks or refuses leaves the figure unknown.

// A remote desktop session, and whether the machine runs on battery.
void ReadSessionAndPower(Circumstances& circumstances);

// GetUserDefaultUILanguage's.
uint16_t UserInterfaceLanguage();

// The work area of the monitor at point, or nearest it; the window's own
// box where the monitor cannot tell.
ScreenBox WorkAreaAt(POINT point);

// Where the window goes on the monitor at (200, 50). Where it does not fit
// there in the scaled pixels a program that is not DPI-aware is shown, the
// process is made DPI-aware first (before any window is made), so the
// window is drawn in the screen's own pixels.
WindowPlace ChooseWindowPlace();
