// Looks at the checker from inside Wine, where the Win32 side of its windows
// can be seen: class names, rectangles, the message box's texts. Prints
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
//   memory-width KB      pixel width, in the overlay's font, of the memory row
//                        the checker's own code writes for KB kilobytes
//   cpu-width NAME       the same of the CPU row for the processor NAME
#include "probe/readings.h"
#include "probe/report_lines.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr wchar_t mainClass[] = L"GralvenClass";
constexpr wchar_t mainTitle[] = L"【Tarvoquin】配置检测";
constexpr wchar_t boxClass[] = L"#32770";
constexpr wchar_t boxCaption[] = L"Tarvoquin的消息窗口";
// The overlay's upper rows: "微软雅黑", height 23, weight 1000.
constexpr wchar_t overlayFace[] = L"微软雅黑";
constexpr int overlayHeight = 23;
constexpr int overlayWeight = 1000;
constexpr DWORD pollMilliseconds = 100;

void Print(const std::wstring& text) {
    int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(length > 0 ? length - 1 : 0, '\0');
    if (length > 1) {
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &bytes[0], length, nullptr, nullptr);
    }
    bytes += '\n';
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
              &written, nullptr);
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    if (window) GetClassNameW(window, name, 256);
    return name;
}

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

// Polls until found or the time is up (0 seconds: one look).
HWND WaitForWindow(const wchar_t* className, const wchar_t* title, double seconds,
                   bool mustBeVisible) {
    ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000.0);
    for (;;) {
        HWND window = FindWindowW(className, title);
        if (window && (!mustBeVisible || IsWindowVisible(window))) return window;
        if (GetTickCount64() >= deadline) return nullptr;
        Sleep(pollMilliseconds);
    }
}

double SecondsArgument(int count, wchar_t** arguments) {
    return count > 2 ? _wtof(arguments[2]) : 0.0;
}

int DescribeMainWindow(double seconds) {
    HWND window = WaitForWindow(mainClass, mainTitle, seconds, true);
    if (!window) return 1;
    RECT outer{};
    GetWindowRect(window, &outer);
    RECT client{};
    GetClientRect(window, &client);
    wchar_t line[256];
    swprintf(line, 256,
             L"class=%ls\nrect=%ld,%ld,%ld,%ld\nclient=%ld,%ld\nstyle=0x%08lx\nforeground=%d",
             ClassOf(window).c_str(), outer.left, outer.top, outer.right - outer.left,
             outer.bottom - outer.top, client.right, client.bottom,
             static_cast<unsigned long>(GetWindowLongW(window, GWL_STYLE)),
             GetForegroundWindow() == window ? 1 : 0);
    Print(line);
    return 0;
}

int PostToMainWindow(UINT message, WPARAM wParam) {
    HWND window = FindWindowW(mainClass, mainTitle);
    return window && PostMessageW(window, message, wParam, 0) ? 0 : 1;
}

// The system command the minimise button or the taskbar sends, then a wait
// for the window to be minimised (or not) as asked.
int SendSystemCommand(WPARAM command, bool minimised, double seconds) {
    HWND window = FindWindowW(mainClass, mainTitle);
    if (!window || !PostMessageW(window, WM_SYSCOMMAND, command, 0)) return 1;
    ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000.0);
    while ((IsIconic(window) != FALSE) != minimised) {
        if (GetTickCount64() >= deadline) return 1;
        Sleep(pollMilliseconds);
    }
    return 0;
}

struct BoxContents {
    std::wstring text;
    int buttons = 0;
    bool hasOk = false;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM data) {
    BoxContents& contents = *reinterpret_cast<BoxContents*>(data);
    std::wstring kind = ClassOf(child);
    if (_wcsicmp(kind.c_str(), L"Button") == 0) {
        ++contents.buttons;
        if (GetDlgCtrlID(child) == IDOK) contents.hasOk = true;
    } else if (_wcsicmp(kind.c_str(), L"Static") == 0 && contents.text.empty()) {
        contents.text = TextOf(child);
    }
    return TRUE;
}

int DescribeMessageBox(double seconds) {
    HWND box = WaitForWindow(boxClass, boxCaption, seconds, true);
    if (!box) return 1;
    BoxContents contents;
    EnumChildWindows(box, CollectChild, reinterpret_cast<LPARAM>(&contents));
    Print(L"owner=" + ClassOf(GetWindow(box, GW_OWNER)));
    Print(L"text=" + contents.text);
    Print(L"buttons=" + std::to_wstring(contents.buttons));
    Print(L"ok=" + std::to_wstring(contents.hasOk ? 1 : 0));
    return 0;
}

int PressOk() {
    HWND box = FindWindowW(boxClass, boxCaption);
    return box && PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0) ? 0 : 1;
}

int MeasureLine(const std::wstring& text) {
    HDC context = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontW(overlayHeight, 0, 0, 0, overlayWeight, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, 0, 0, 0, 0, overlayFace);
    HGDIOBJ previous = SelectObject(context, font);
    SIZE extent{};
    BOOL measured = GetTextExtentPoint32W(context, text.c_str(), static_cast<int>(text.size()),
                                          &extent);
    SelectObject(context, previous);
    DeleteObject(font);
    DeleteDC(context);
    if (!measured) return 1;
    Print(L"width=" + std::to_wstring(extent.cx));
    return 0;
}

}  // namespace

int wmain(int count, wchar_t** arguments) {
    if (count < 2) return 2;
    std::wstring command = arguments[1];
    double seconds = SecondsArgument(count, arguments);
    if (command == L"window") return DescribeMainWindow(seconds);
    if (command == L"close") return PostToMainWindow(WM_CLOSE, 0);
    if (command == L"minimise") return SendSystemCommand(SC_MINIMIZE, true, seconds);
    if (command == L"restore") return SendSystemCommand(SC_RESTORE, false, seconds);
    if (command == L"msgbox") return DescribeMessageBox(seconds);
    if (command == L"press-ok") return PressOk();
    if (command == L"memory-width" && count > 2) {
        return MeasureLine(BuildMemoryLine(MemoryGigabytes(arguments[2])));
    }
    if (command == L"cpu-width" && count > 2) return MeasureLine(BuildCpuLine(arguments[2]));
    return 2;
}
