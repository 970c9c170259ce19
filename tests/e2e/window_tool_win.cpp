// The checker's windows seen from inside Wine: "window" and "msgbox" print key=value lines,
// "close" and "press-ok" post what the button would; exit code 1 when the window is not there.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr wchar_t mainClass[] = L"GralvenClass";
constexpr wchar_t mainTitle[] = L"【Tarvoquin】配置检测";
constexpr wchar_t boxClass[] = L"#32770";
constexpr wchar_t boxCaption[] = L"Tarvoquin的消息窗口";
constexpr int boxTextId = 0xFFFF;  // the message box's text, as Windows and Wine number it

HWND Visible(const wchar_t* className, const wchar_t* title) {
    HWND window = FindWindowW(className, title);
    return window && IsWindowVisible(window) ? window : nullptr;
}

int DescribeMainWindow() {
    HWND window = Visible(mainClass, mainTitle);
    if (!window) return 1;
    RECT outer{};
    GetWindowRect(window, &outer);
    wprintf(L"rect=%ld,%ld,%ld,%ld\nstyle=%ld\n", outer.left, outer.top,
            outer.right - outer.left, outer.bottom - outer.top, GetWindowLongW(window, GWL_STYLE));
    return 0;
}

int DescribeMessageBox() {
    HWND box = Visible(boxClass, boxCaption);
    if (!box) return 1;
    wchar_t text[512] = {};
    GetDlgItemTextW(box, boxTextId, text, 512);
    wprintf(L"text=%ls\n", text);
    return 0;
}

int Post(const wchar_t* className, const wchar_t* title, UINT message, WPARAM wParam) {
    HWND window = FindWindowW(className, title);
    return window && PostMessageW(window, message, wParam, 0) ? 0 : 1;
}

}  // namespace

int wmain(int count, wchar_t** arguments) {
    if (count != 2) return 2;
    _setmode(_fileno(stdout), _O_U8TEXT);
    std::wstring command = arguments[1];
    if (command == L"window") return DescribeMainWindow();
    if (command == L"msgbox") return DescribeMessageBox();
    if (command == L"close") return Post(mainClass, mainTitle, WM_CLOSE, 0);
    if (command == L"press-ok") {
        return Post(boxClass, boxCaption, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED));
    }
    return 2;
}
