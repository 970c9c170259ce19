#include "app/checker_win.h"
#include "app/circumstances_win.h"
#include "app/clipboard_win.h"
#include "app/report_text.h"
#include "app/taskbar_progress.h"
#include "app/taskbar_win.h"
#include "app/tip_win.h"
#include "common/check_state.h"
#include "common/verdict.h"
#include "frame/frame_win.h"
#include "probe/probe.h"
#include "scene/gdi_rows_win.h"
#include "stats/meters.h"

#include <windowsx.h>

#include <new>

namespace {

// The character TranslateMessage makes of Ctrl+C.
constexpr WPARAM copyCharacter = 0x03;
const wchar_t programVersion[] = TARVOQUIN_VERSION;

POINT ClientPoint(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

float ShownMovingAverage() { return MovingAverageOf(checkState.fpsMovingAverage); }

// As the window shows it at this moment; a report that cannot be made or
// copied is given up without a word: the check goes on.
void CopyReport(HWND window) {
    CollectVideoControllers();
    try {
        CopyToClipboard(window, ReportText(checkState, ShownMovingAverage(),
                                           LanguageFor(UserInterfaceLanguage()), programVersion));
    } catch (const std::bad_alloc&) {
    }
}

// Between frames, a few times a second.
void RefreshProgress(HWND window) {
    CollectVideoControllers();
    RefreshTip();
    ShowTaskbarProgress(window, TaskbarProgressOf(checkState, ShownMovingAverage()));
}

}  // namespace

// Escape and the close button both end in WM_DESTROY, so the program ends
// the same way either way. Other keys are swallowed: the checker has no
// keyboard commands but Ctrl+C, and nothing else should react to them.
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        ReleaseAll();
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        if (NoDeviceToMeasure(checkState)) {
            PaintRowsWithGdi(window, MovingAverageOf(checkState.fpsMovingAverage));
            return 0;
        }
        RenderFrame(window);
        ValidateRect(window, nullptr);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) DestroyWindow(window);
        return 0;
    case WM_CHAR:
        if (wParam == copyCharacter) CopyReport(window);
        return 0;
    case WM_MOUSEMOVE:
        PointerMoved(window, ClientPoint(lParam));
        return 0;
    case WM_MOUSEHOVER:
        PointerRested(window, ClientPoint(lParam));
        return 0;
    case WM_MOUSELEAVE:
        HideTip();
        return 0;
    case WM_TIMER:
        if (wParam == progressTimer) RefreshProgress(window);
        return 0;
    default:
        if (message == TaskbarButtonCreatedMessage()) {
            OpenTaskbarButton();
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
