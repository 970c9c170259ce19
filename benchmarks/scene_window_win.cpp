#include "benchmarks/scene_window_win.h"

#include "app/window_place.h"

namespace {

constexpr wchar_t windowClassName[] = L"TarvoquinSceneTestWindow";

bool RegisterSceneWindowClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpszClassName = windowClassName;
    return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

HWND CreateSceneWindow() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterSceneWindowClass(instance)) return nullptr;
    HWND window = CreateWindowExW(0, windowClassName, L"Scene", WS_OVERLAPPEDWINDOW, windowLeft,
                                  windowTop, windowWidth, windowHeight, nullptr, nullptr, instance,
                                  nullptr);
    if (window) {
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
    }
    return window;
}

void DestroySceneWindow(HWND window) {
    if (window) DestroyWindow(window);
}
