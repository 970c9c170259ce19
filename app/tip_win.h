#pragma once

#include <windows.h>

// The tooltip of the status row: a small window of the program's own, drawn
// with GDI beside the Direct3D frame, listing each rule's figure, bar and
// outcome, the diagnoses that apply and how to copy the report. It shows
// when the pointer rests on the status row and goes when it leaves.

// Registers its window class; false when it cannot (then no tooltip shows).
bool RegisterTipClass(HINSTANCE instance);
void UnregisterTipClass(HINSTANCE instance);

// The main window's pointer messages, at a point of its client area.
void PointerMoved(HWND window, POINT client);   // WM_MOUSEMOVE
void PointerRested(HWND window, POINT client);  // WM_MOUSEHOVER
void HideTip();                                 // WM_MOUSELEAVE too

// Brings a shown tooltip up to date with the check state.
void RefreshTip();

// Destroys the tooltip and its font.
void DestroyTip();
