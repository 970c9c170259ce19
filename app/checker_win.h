#pragma once

#include <windows.h>

// The whole run of the checker: benchmark, window, probe, Direct3D, input,
// message loop, teardown. 0 after the window has been closed; -1 when the
// window class cannot be registered or the window cannot be created.
int RunChecker(HINSTANCE instance, int showCommand);

// Whether this is the one check of the user's session: true when it took
// the mutex "Local\TarvoquinCheck", held from then to the process's end,
// whatever way it ends. False when another check holds it; that check's
// window (or its message box), when shown, is then brought to the front.
// A second check would halve what the first measures.
bool TakeTheOneCheck();

// Registers "GralvenClass" (icon from "root.ico" in the working directory,
// when it is there). False when the class cannot be registered.
bool RegisterMainClass(HINSTANCE instance);
// Unregisters it and destroys the icon it was given.
void UnregisterMainClass(HINSTANCE instance);

// The program's message loop: messages first, a timed frame of window
// whenever none waits, until WM_QUIT.
void RunMessageLoop(HWND window);

// The main window's timer that brings the tooltip and the taskbar button up
// to date, a few times a second.
constexpr UINT_PTR progressTimer = 1;

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Releases all the platform objects the window's life holds: the input
// devices, the tooltip, the taskbar button, then the scene's Direct3D
// objects. Anything never created is skipped, so it is safe at any time and
// more than once.
void ReleaseAll();
