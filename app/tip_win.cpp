#include "app/tip_win.h"

#include "app/circumstances_win.h"
#include "app/report_format.h"
#include "app/report_text.h"
#include "app/window_place.h"
#include "common/verdict.h"
#include "scene/overlay.h"

#include <algorithm>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr wchar_t tipClassName[] = L"TarvoquinCheckTip";
// Every Windows 10 and 11 has this face, whatever its language, and it holds
// both the Chinese and the English texts.
constexpr wchar_t tipFace[] = L"微软雅黑";
constexpr int tipFontHeight = 16;
constexpr int tipPadding = 6;
constexpr int tipGap = 4;  // between the tooltip and the status row
constexpr COLORREF failedColour = RGB(192, 0, 0);
constexpr UINT lineFormat = DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_TOP;
// A sentence is wrapped at about 700 pixels of the face, so that the
// tooltip fits the smallest screen the window does.
constexpr std::size_t tipColumns = 96;

// One line as the tooltip draws it: a piece of one of its lines.
struct TipRow {
    std::wstring text;
    bool failed;  // of a failed rule's line
};

// The tooltip's window, its font and what it shows.
struct Tip {
    HWND window = nullptr;
    HFONT font = nullptr;
    std::vector<std::wstring> lines;
    std::vector<TipRow> rows;
    // It stands above this point: the pointer's column on the status row's
    // top, in screen pixels.
    POINT anchor{};
};
Tip tip;

bool InStatusRow(HWND window, POINT client) {
    RECT area{};
    GetClientRect(window, &area);
    const RowBand band = StatusRowBand(area.bottom, !NoDeviceToMeasure(checkState));
    return client.y >= band.top && client.y < band.bottom;
}

SIZE LineSize(HDC context, const std::wstring& line) {
    RECT box{};
    DrawTextW(context, line.c_str(), static_cast<int>(line.size()), &box, lineFormat | DT_CALCRECT);
    return {box.right - box.left, box.bottom - box.top};
}

// The text's size with its padding, inside the border.
SIZE TipTextSize() {
    SIZE size{};
    HDC context = GetDC(tip.window);
    if (!context) return size;
    HGDIOBJ previous = SelectObject(context, tip.font);
    for (const TipRow& row : tip.rows) {
        const SIZE extent = LineSize(context, row.text);
        size.cx = std::max(size.cx, extent.cx);
        size.cy += extent.cy;
    }
    SelectObject(context, previous);
    ReleaseDC(tip.window, context);
    return {size.cx + 2 * tipPadding, size.cy + 2 * tipPadding};
}

// Sized to its lines, above the anchor, inside the work area.
void PlaceTip() {
    SIZE text = TipTextSize();
    RECT frame{0, 0, text.cx, text.cy};
    AdjustWindowRectEx(&frame, GetWindowLongW(tip.window, GWL_STYLE), FALSE,
                       GetWindowLongW(tip.window, GWL_EXSTYLE));
    const int32_t width = frame.right - frame.left;
    const int32_t height = frame.bottom - frame.top;
    const WindowPlace place = PlaceInside(WorkAreaAt(tip.anchor), tip.anchor.x,
                                          tip.anchor.y - tipGap - height, width, height);
    SetWindowPos(tip.window, HWND_TOPMOST, place.x, place.y, width, height,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

bool RuleFailed(std::size_t line) {
    return line < ruleCount && checkState.rules[line].outcome == Outcome::Failed;
}

void PaintTip(HWND window) {
    PAINTSTRUCT paint{};
    HDC context = BeginPaint(window, &paint);
    if (!context) return;
    RECT area{};
    GetClientRect(window, &area);
    FillRect(context, &area, GetSysColorBrush(COLOR_INFOBK));
    HGDIOBJ previous = SelectObject(context, tip.font);
    SetBkMode(context, TRANSPARENT);
    RECT line = {tipPadding, tipPadding, area.right - tipPadding, area.bottom};
    for (const TipRow& row : tip.rows) {
        SetTextColor(context, row.failed ? failedColour : GetSysColor(COLOR_INFOTEXT));
        DrawTextW(context, row.text.c_str(), static_cast<int>(row.text.size()), &line, lineFormat);
        line.top += LineSize(context, row.text).cy;
    }
    SelectObject(context, previous);
    EndPaint(window, &paint);
}

// The pointer passes through it to the main window beneath, which so keeps
// telling where the pointer is.
LRESULT CALLBACK TipProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_PAINT: PaintTip(window); return 0;
    case WM_NCDESTROY: tip.window = nullptr; return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

// Owned by the main window: above it, and destroyed with it.
bool CreateTip(HWND owner) {
    if (!tip.font) {
        tip.font = CreateFontW(-tipFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                              DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                              CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, tipFace);
    }
    if (!tip.window) {
        tip.window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE,
                                    tipClassName, L"", WS_POPUP | WS_BORDER, 0, 0, 0, 0, owner,
                                    nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    return tip.window && tip.font;
}

bool TipShown() { return tip.window && IsWindowVisible(tip.window); }

// The lines as the check state has them now; false when they stay as they
// were (or there is no memory for new ones).
bool UpdateLines() {
    try {
        std::vector<std::wstring> lines = TipLines(checkState, LanguageFor(UserInterfaceLanguage()));
        if (lines == tip.lines) return false;
        std::vector<TipRow> rows;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            for (std::wstring& piece : WrappedLines(lines[i], tipColumns)) {
                rows.push_back({std::move(piece), RuleFailed(i)});
            }
        }
        tip.lines = std::move(lines);
        tip.rows = std::move(rows);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void ShowTip(HWND owner, POINT client) {
    if (!CreateTip(owner)) return;
    RECT area{};
    GetClientRect(owner, &area);
    tip.anchor = {client.x, StatusRowBand(area.bottom, !NoDeviceToMeasure(checkState)).top};
    ClientToScreen(owner, &tip.anchor);
    UpdateLines();
    PlaceTip();
    InvalidateRect(tip.window, nullptr, TRUE);
}

}  // namespace

bool RegisterTipClass(HINSTANCE instance) {
    WNDCLASSEXW tipClass{};
    tipClass.cbSize = sizeof tipClass;
    tipClass.lpfnWndProc = TipProc;
    tipClass.hInstance = instance;
    tipClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    tipClass.lpszClassName = tipClassName;
    return RegisterClassExW(&tipClass) != 0;
}

void UnregisterTipClass(HINSTANCE instance) { UnregisterClassW(tipClassName, instance); }

void PointerMoved(HWND window, POINT client) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = window;
    track.dwHoverTime = HOVER_DEFAULT;
    if (!InStatusRow(window, client)) {
        HideTip();
    } else if (!TipShown()) {
        track.dwFlags |= TME_HOVER;
    }
    TrackMouseEvent(&track);
}

void PointerRested(HWND window, POINT client) {
    if (InStatusRow(window, client)) ShowTip(window, client);
}

void HideTip() {
    if (TipShown()) ShowWindow(tip.window, SW_HIDE);
}

void RefreshTip() {
    if (!TipShown() || !UpdateLines()) return;
    PlaceTip();
    InvalidateRect(tip.window, nullptr, TRUE);
}

void DestroyTip() {
    if (tip.window) DestroyWindow(tip.window);
    tip.window = nullptr;
    if (tip.font) DeleteObject(tip.font);
    tip.font = nullptr;
    tip.lines.clear();
    tip.rows.clear();
}
