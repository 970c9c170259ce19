#include "app/input_win.h"

#include "platform/release_win.h"

namespace {

// Non-exclusive and only while the window is in front: the checker never
// takes the keyboard or mouse away from other programs.
constexpr DWORD inputCooperation = DISCL_NONEXCLUSIVE | DISCL_FOREGROUND;

HRESULT OpenDevice(IDirectInputDevice8W*& device, REFGUID which, const DIDATAFORMAT& format,
                   HWND window) {
    HRESULT result = inputDevices->directInput->CreateDevice(which, &device, nullptr);
    if (FAILED(result)) return result;
    result = device->SetCooperativeLevel(window, inputCooperation);
    if (FAILED(result)) return result;
    result = device->SetDataFormat(&format);
    if (FAILED(result)) return result;
    return device->Acquire();
}

}  // namespace

InputDevices* inputDevices = nullptr;

HRESULT CreateInputDevices(HINSTANCE instance, HWND window) {
    if (!inputDevices) return E_POINTER;
    HRESULT result = CreateDirectInput8(instance, DIRECTINPUT_VERSION, IID_IDirectInput8W,
                                        reinterpret_cast<void**>(&inputDevices->directInput),
                                        nullptr);
    if (FAILED(result)) return result;
    result = OpenDevice(inputDevices->keyboard, GUID_SysKeyboard, c_dfDIKeyboard, window);
    if (FAILED(result)) return result;
    result = OpenDevice(inputDevices->mouse, GUID_SysMouse, c_dfDIMouse, window);
    if (FAILED(result)) return result;
    return S_OK;
}

void ReleaseInputDevices() {
    if (!inputDevices) return;
    if (inputDevices->keyboard) inputDevices->keyboard->Unacquire();
    if (inputDevices->mouse) inputDevices->mouse->Unacquire();
    ReleaseObject(inputDevices->keyboard);
    ReleaseObject(inputDevices->mouse);
    ReleaseObject(inputDevices->directInput);
    delete inputDevices;
    inputDevices = nullptr;
}
