#include "app/checker_win.h"
#include "app/circumstances_win.h"
#include "app/input_win.h"
#include "app/taskbar_win.h"
#include "app/tip_win.h"
#include "app/window_place.h"
#include "bench/suite.h"
#include "common/diagnoses.h"
#include "frame/frame_win.h"
#include "platform/clock.h"
#include "platform/program_folder_win.h"
#include "probe/probe.h"
#include "scene/scene_win.h"

#include <new>

namespace {

// A second start finds the running check by this class name.
constexpr wchar_t mainClassName[] = L"GralvenClass";
constexpr wchar_t mainWindowTitle[] = L"【Tarvoquin】配置检测";
constexpr wchar_t iconFileName[] = L"root.ico";
constexpr wchar_t direct3DFailureText[] = L"Direct3D初始化失败~！";
constexpr wchar_t messageCaption[] = L"Tarvoquin的消息窗口";

constexpr DWORD mainWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr UINT progressMilliseconds = 250;

constexpr int startFailed = -1;

// In the Local namespace, one per logon session: each logged-on player may
// run a check of their own.
constexpr wchar_t oneCheckMutexName[] = L"Local\\TarvoquinCheck";

// Hidden until the probe and Direct3D are done; shown by the caller.
HWND CreateMainWindow(HINSTANCE instance) {
    return CreateWindowExW(0, mainClassName, mainWindowTitle, mainWindowStyle, CW_USEDEFAULT,
                           CW_USEDEFAULT, windowWidth, windowHeight, nullptr, nullptr, instance,
                           nullptr);
}

HICON LoadIconFileFrom(const wchar_t* path) {
    return static_cast<HICON>(
        LoadImageW(nullptr, path, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_LOADFROMFILE));
}

// Null where neither folder has it: the window then has no icon.
HICON LoadIconFile() {
    HICON icon = nullptr;
    OpenHereOrBesideProgram(iconFileName, [&icon](const wchar_t* path) {
        icon = LoadIconFileFrom(path);
        return icon != nullptr;
    });
    return icon;
}

void CreateInput(HINSTANCE instance, HWND window) {
    inputDevices = new (std::nothrow) InputDevices{};
    // The check does not need input; a failure only leaves devices out.
    CreateInputDevices(instance, window);
}

}  // namespace

void RunMessageLoop(HWND window) {
    MSG message{};
    while (message.message != WM_QUIT) {
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        } else {
            RunFrame(window);
        }
    }
}

namespace {

// Without waiting on the other check, busy measuring: nothing here sends it
// a message and waits for the answer.
void BringTheOtherCheckToTheFront() {
    HWND window = FindWindowW(mainClassName, mainWindowTitle);
    if (!window || !IsWindowVisible(window)) return;
    if (IsIconic(window)) ShowWindowAsync(window, SW_RESTORE);
    SetForegroundWindow(GetLastActivePopup(window));
}

}  // namespace

bool TakeTheOneCheck() {
    HANDLE mutex = CreateMutexW(nullptr, TRUE, oneCheckMutexName);
    DWORD error = GetLastError();
    // Access refused means the mutex is there too, made by a check started
    // with other rights (as administrator).
    bool anotherCheck = mutex ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
    if (anotherCheck) {
        if (mutex) CloseHandle(mutex);
        BringTheOtherCheckToTheFront();
        return false;
    }
    // Otherwise the handle is left open on purpose: the process's end
    // releases it. A mutex that cannot be made at all does not stop the check.
    return true;
}

void ReleaseAll() {
    ReleaseInputDevices();
    DestroyTip();
    CloseTaskbarButton();
    ReleaseSceneResources();
}

bool RegisterMainClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconFile();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    windowClass.lpszClassName = mainClassName;
    if (RegisterClassExW(&windowClass)) {
        // Without its class the check runs all the same, with no tooltip.
        RegisterTipClass(instance);
        return true;
    }
    if (windowClass.hIcon) DestroyIcon(windowClass.hIcon);
    return false;
}

void UnregisterMainClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    HICON icon = GetClassInfoExW(instance, mainClassName, &windowClass) ? windowClass.hIcon : nullptr;
    UnregisterClassW(mainClassName, instance);
    UnregisterTipClass(instance);
    // The class does not own the icon it was given.
    if (icon) DestroyIcon(icon);
}

namespace {

// What other processes take of the processor while the workloads run makes
// the score read low: it is watched for the diagnoses.
void MeasureCpuScoreWatchingOthers() {
    const ProcessorTimes before = ReadProcessorTimes();
    MeasureCpuScore();
    checkState.circumstances.duringWorkloads = OthersUse(before, ReadProcessorTimes());
}

}  // namespace

int RunChecker(HINSTANCE instance, int showCommand) {
    checkState.startCounter = PerformanceCounter();
    MeasureCpuScoreWatchingOthers();
    ReadSessionAndPower(checkState.circumstances);
    if (!RegisterMainClass(instance)) return startFailed;
    const WindowPlace place = ChooseWindowPlace();
    HWND window = CreateMainWindow(instance);
    if (!window) {
        // Nothing to show the check in: leave no class behind and fail
        // the start the same way as a failed registration.
        UnregisterMainClass(instance);
        return startFailed;
    }
    RunProbe();
    // Without a Direct3D device (none on this machine, or one that cannot make
    // the cube's objects) the program still runs: the device rule has failed
    // the machine, the box says so once, each paint draws the rows with GDI
    // instead (the report, with the red verdict), the idle pass only waits
    // for messages, and Escape or the close button end it as usual.
    if (FAILED(InitDirect3DAndJudge(window))) {
        MessageBoxW(window, direct3DFailureText, messageCaption, MB_OK);
    }
    MoveWindow(window, place.x, place.y, windowWidth, windowHeight, TRUE);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    // Read after the rows' own reads, while frames run.
    BeginVideoControllers();
    CreateInput(instance, window);
    OpenTaskbarButton();
    SetTimer(window, progressTimer, progressMilliseconds, nullptr);
    RunMessageLoop(window);
    UnregisterMainClass(instance);
    return 0;
}
