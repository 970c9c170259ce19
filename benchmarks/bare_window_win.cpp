// The start-up to measure the check's against (scripts/start-up-cost): a
// window of the check's size and style with a Direct3D 9 device of the same
// presentation parameters, shown, then bare Clear + Present frames until it
// is closed. No benchmark, probe, scene objects or rows.
#include "common/window_size.h"
#include "scene/scene_win.h"

#include <windows.h>
#include <d3d9.h>

namespace {

constexpr wchar_t className[] = L"TarvoquinBareWindow";
constexpr wchar_t title[] = L"Bare Direct3D window";
constexpr D3DCOLOR grey = 0xFF646464;

LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

IDirect3DDevice9* CreateBareDevice(IDirect3D9* direct3d, HWND window) {
    D3DPRESENT_PARAMETERS parameters = PresentParameters(window);
    IDirect3DDevice9* device = nullptr;
    if (!direct3d || FAILED(direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                                   D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                                   &parameters, &device))) {
        return nullptr;
    }
    return device;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = BareProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className;
    if (!RegisterClassExW(&windowClass)) return 1;
    HWND window = CreateWindowExW(0, className, title, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                  CW_USEDEFAULT, CW_USEDEFAULT, windowWidth, windowHeight,
                                  nullptr, nullptr, instance, nullptr);
    IDirect3D9* direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    IDirect3DDevice9* device = CreateBareDevice(direct3d, window);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    MSG message{};
    while (message.message != WM_QUIT) {
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        } else if (device) {
            device->Clear(0, nullptr, D3DCLEAR_TARGET, grey, 1.0f, 0);
            device->Present(nullptr, nullptr, nullptr, nullptr);
        } else {
            WaitMessage();
        }
    }
    if (device) device->Release();
    if (direct3d) direct3d->Release();
    return 0;
}
