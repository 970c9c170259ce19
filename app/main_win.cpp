#include "app/checker_win.h"
#include "probe/wmi.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    int exitCode = RunChecker(instance, showCommand);
    // The WMI session is the process's: it is closed as the process ends,
    // however the run ended.
    CloseWmi(wmiSession);
    return exitCode;
}
