#include "app/checker_win.h"
#include "app/input_win.h"
#include "common/check_state.h"
#include "frame/frame_win.h"
#include "render/report_win.h"
#include "render/scene_win.h"

void ReleaseAll() {
    ReleaseInputDevices();
    ReleaseSceneResources();
}

// Escape and the close button both end in WM_DESTROY, so the program ends
// the same way either way. Other keys are swallowed: the checker has no
// keyboard commands, and nothing else should react to them.
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        ReleaseAll();
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        if (checkState.deviceMissing) {
            PaintReport(window);
            return 0;
        }
        RenderFrame(window);
        ValidateRect(window, nullptr);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) DestroyWindow(window);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
