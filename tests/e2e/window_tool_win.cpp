// The checker's windows seen from inside Wine: "window", "msgbox" and "tip" print key=value
// lines, "clipboard" prints the clipboard's text, "close" and "press-ok" post what the button
// would; exit code 1 when the window (or the text) is not there.
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
constexpr wchar_t tipClass[] = L"TarvoquinCheckTip";

HWND Visible(const wchar_t* className, const wchar_t* title) {
    HWND window = FindWindowW(className, title);
    return window && IsWindowVisible(window) ? window : nullptr;
}

int DescribeWindow(HWND window) {
    if (!window) return 1;
    RECT outer{};
    GetWindowRect(window, &outer);
    wprintf(L"rect=%ld,%ld,%ld,%ld\nstyle=%ld\n", outer.left, outer.top,
            outer.right - outer.left, outer.bottom - outer.top, GetWindowLongW(window, GWL_STYLE));
    return 0;
}

// The text's lines, each as "<number>=<line>" (a line end would come out as CR LF).
int PrintClipboard() {
    if (!OpenClipboard(nullptr)) return 1;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const auto* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    if (text) {
        std::wstring all = text;
        GlobalUnlock(data);
        std::size_t number = 0;
        for (std::size_t start = 0, end; (end = all.find(L"\r\n", start)) != std::wstring::npos;
             start = end + 2) {
            wprintf(L"%zu=%ls\n", number++, all.substr(start, end - start).c_str());
        }
    }
    CloseClipboard();
    return text ? 0 : 1;
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
    if (command == L"window") return DescribeWindow(Visible(mainClass, mainTitle));
    if (command == L"tip") return DescribeWindow(Visible(tipClass, nullptr));
    if (command == L"clipboard") return PrintClipboard();
    if (command == L"msgbox") return DescribeMessageBox();
    if (command == L"close") return Post(mainClass, mainTitle, WM_CLOSE, 0);
    if (command == L"press-ok") {
        return Post(boxClass, boxCaption, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED));
    }
    return 2;
}
