#include "app/checker_win.h"
#include "platform/system_library_win.h"
#include "probe/probe.h"
#include "probe/wmi.h"

// Read by the graphics drivers of laptops with two GPUs: the program's device
// is made on the discrete one, where the game will run, not on the
// integrated one that an unknown program gets by default.
extern "C" {
__declspec(dllexport) DWORD NvOptimusEnablement = 1;
__declspec(dllexport) int AmdPowerXpressRequestHighPerformance = 1;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    SearchDllsInSystemFolderOnly();
    // Another check is running: it is left to measure the machine alone.
    if (!TakeTheOneCheck()) return 0;
    int exitCode = RunChecker(instance, showCommand);
    // The WMI session is the process's: it is closed as the process ends,
    // however the run ended.
    AbandonVideoControllers();
    CloseWmi(wmiSession);
    return exitCode;
}
