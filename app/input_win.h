#pragma once

#define DIRECTINPUT_VERSION 0x0800
#include <windows.h>
#include <dinput.h>

// Keyboard and mouse through DirectInput 8, acquired at start-up (without
// taking them from other programs) and held to the window's destruction;
// nothing reads their state yet, and the two buffers are where a read puts
// it.
struct InputDevices {
    IDirectInput8W* directInput;
    IDirectInputDevice8W* keyboard;
    BYTE keyState[256];
    IDirectInputDevice8W* mouse;
    DIMOUSESTATE mouseState;
};

// Created zero-filled by start-up, freed by ReleaseInputDevices.
extern InputDevices* inputDevices;

// DirectInput8Create of the system folder's dinput8.dll (app/input_entry_win.cpp,
// a file of its own so that a test program can link its own in its place); a
// failure code when the DLL or the entry is missing.
HRESULT CreateDirectInput8(HINSTANCE instance, DWORD version, REFIID id, void** out,
                           IUnknown* outer);

// Fills the record in inputDevices: DirectInput, then the keyboard, then the
// mouse, each acquired. Stops at the first failing step and returns its code;
// what was created up to there stays in the record for ReleaseInputDevices.
HRESULT CreateInputDevices(HINSTANCE instance, HWND window);

// Unacquires and releases whatever exists, frees the record, clears the pointer.
void ReleaseInputDevices();
