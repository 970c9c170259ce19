#pragma once

#include "app/taskbar_progress.h"

#include <windows.h>

// The window's taskbar button showing how far the check is
// (ITaskbarList3, made through COM). Where the taskbar object cannot be made,
// nothing is shown and nothing fails.

// The message the shell sends once the window's button exists (again, after
// the shell restarts): the object is made anew then.
UINT TaskbarButtonCreatedMessage();

// Makes the taskbar object, or makes it again.
void OpenTaskbarButton();

// Shows progress on window's button, when it differs from what is shown.
void ShowTaskbarProgress(HWND window, const TaskbarProgress& progress);

// Releases the taskbar object.
void CloseTaskbarButton();
