#include "app/circumstances_win.h"

#include "platform/system_library_win.h"

#include <windows.h>

namespace {

// A program that is not DPI-aware is shown the screen scaled down
// (VERTRES); DESKTOPVERTRES is its height in its own pixels.
float ReadScreenScale() {
    HDC screen = GetDC(nullptr);
    if (!screen) return 1.0f;
    float scale = ScreenScale(GetDeviceCaps(screen, VERTRES), GetDeviceCaps(screen, DESKTOPVERTRES));
    ReleaseDC(nullptr, screen);
    return scale;
}

using SetProcessDpiAwareFunction = BOOL(WINAPI*)();

// SetProcessDPIAware, looked up: a start must not fail where it is missing.
void DrawInScreenPixels() {
    auto makeAware = EntryAs<SetProcessDpiAwareFunction>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDPIAware"));
    if (makeAware) makeAware();
}

}  // namespace

void ReadSessionAndPower(Circumstances& circumstances) {
    circumstances.remoteSession = GetSystemMetrics(SM_REMOTESESSION) != 0;
    SYSTEM_POWER_STATUS power{};
    if (GetSystemPowerStatus(&power)) circumstances.acLineStatus = power.ACLineStatus;
}

uint16_t UserInterfaceLanguage() { return GetUserDefaultUILanguage(); }

ScreenBox WorkAreaAt(POINT point) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    HMONITOR monitor = MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST);
    if (!GetMonitorInfoW(monitor, &info)) return {0, 0, windowWidth, windowHeight};
    return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}

WindowPlace ChooseWindowPlace() {
    const POINT place = {windowLeft, windowTop};
    ScreenBox workArea = WorkAreaAt(place);
    if (NeedsScreenPixels(workArea, ReadScreenScale())) {
        DrawInScreenPixels();
        workArea = WorkAreaAt(place);
    }
    return PlaceWindow(workArea);
}
