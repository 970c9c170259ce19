// Looks at the checker from inside Wine, where the Win32 side of its windows
// can be seen: styles, rectangles, the message box's texts. Prints
// key=value lines for the end-to-end tests; exit code 0 when the thing asked
// for was found (and the request posted), 1 when not, 2 on bad usage.
//
//   window [seconds]     wait for the visible main window, describe it
//   close                post WM_CLOSE to the main window
//   minimise [seconds]   minimise the main window as its button does; found
//                        when it is minimised within the time
//   restore [seconds]    restore it likewise; found when it is no longer
//   msgbox [seconds]     wait for the message box, describe it
//   press-ok             click the message box's OK button
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr wchar_t mainClass[] = L"GralvenClass";
constexpr wchar_t mainTitle[] = L"【Tarvoquin】配置检测";
constexpr wchar_t boxClass[] = L"#32770";
constexpr wchar_t boxCaption[] = L"Tarvoquin的消息窗口";
constexpr int boxTextId = 0xFFFF;  // the message box's text, as Windows and Wine number it
constexpr DWORD pollMilliseconds = 100;

void Print(const std::wstring& text) {
    std::string bytes(text.size() * 3 + 1, '\0');
    int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                     &bytes[0], static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(length);
    std::fputs((bytes + '\n').c_str(), stdout);
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    if (window) GetClassNameW(window, name, 256);
    return name;
}

// Polls until found true or the time is up (0 seconds: one look).
template <typename Found>
bool WaitUntil(double seconds, Found found) {
    ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000.0);
    while (!found()) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(pollMilliseconds);
    }
    return true;
}

HWND WaitForWindow(const wchar_t* className, const wchar_t* title, double seconds) {
    HWND window = nullptr;
    WaitUntil(seconds, [&] {
        window = FindWindowW(className, title);
        return window && IsWindowVisible(window);
    });
    return window && IsWindowVisible(window) ? window : nullptr;
}

int DescribeMainWindow(double seconds) {
    HWND window = WaitForWindow(mainClass, mainTitle, seconds);
    if (!window) return 1;
    RECT outer{};
    GetWindowRect(window, &outer);
    wchar_t line[256];
    swprintf(line, 256, L"rect=%ld,%ld,%ld,%ld\nstyle=0x%08lx\nforeground=%d", outer.left,
             outer.top, outer.right - outer.left, outer.bottom - outer.top,
             static_cast<unsigned long>(GetWindowLongW(window, GWL_STYLE)),
             GetForegroundWindow() == window ? 1 : 0);
    Print(line);
    return 0;
}

// The system command the minimise button or the taskbar sends, then a wait
// for the window to be minimised (or not) as asked.
int SendSystemCommand(WPARAM command, bool minimised, double seconds) {
    HWND window = FindWindowW(mainClass, mainTitle);
    if (!window || !PostMessageW(window, WM_SYSCOMMAND, command, 0)) return 1;
    return WaitUntil(seconds, [&] { return (IsIconic(window) != FALSE) == minimised; }) ? 0 : 1;
}

BOOL CALLBACK CountButton(HWND child, LPARAM count) {
    *reinterpret_cast<int*>(count) += lstrcmpiW(ClassOf(child).c_str(), L"Button") == 0;
    return TRUE;
}

int DescribeMessageBox(double seconds) {
    HWND box = WaitForWindow(boxClass, boxCaption, seconds);
    if (!box) return 1;
    wchar_t text[512] = {};
    GetDlgItemTextW(box, boxTextId, text, 512);
    int buttons = 0;
    EnumChildWindows(box, CountButton, reinterpret_cast<LPARAM>(&buttons));
    Print(L"owner=" + ClassOf(GetWindow(box, GW_OWNER)));
    Print(L"text=" + std::wstring(text));
    Print(L"buttons=" + std::to_wstring(buttons));
    Print(L"ok=" + std::to_wstring(GetDlgItem(box, IDOK) != nullptr));
    return 0;
}

int Post(const wchar_t* className, const wchar_t* title, UINT message, WPARAM wParam) {
    HWND window = FindWindowW(className, title);
    return window && PostMessageW(window, message, wParam, 0) ? 0 : 1;
}

}  // namespace

int wmain(int count, wchar_t** arguments) {
    if (count < 2) return 2;
    std::wstring command = arguments[1];
    double seconds = count > 2 ? _wtof(arguments[2]) : 0.0;
    if (command == L"window") return DescribeMainWindow(seconds);
    if (command == L"close") return Post(mainClass, mainTitle, WM_CLOSE, 0);
    if (command == L"minimise") return SendSystemCommand(SC_MINIMIZE, true, seconds);
    if (command == L"restore") return SendSystemCommand(SC_RESTORE, false, seconds);
    if (command == L"msgbox") return DescribeMessageBox(seconds);
    if (command == L"press-ok") {
        return Post(boxClass, boxCaption, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED));
    }
    return 2;
}
