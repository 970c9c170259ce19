#include "app/checker_win.h"
#include "app/input_win.h"
#include "check_window_win.h"
#include "common/check_state.h"
#include "probe/wmi.h"

#include <vector>

namespace {

constexpr wchar_t className[] = L"GralvenClass";
HINSTANCE Instance() { return GetModuleHandleW(nullptr); }
HWND MainWindow() { return FindWindowW(className, nullptr); }
bool ClassInfo(WNDCLASSEXW& info) {
    info = WNDCLASSEXW{};
    info.cbSize = sizeof info;
    return GetClassInfoExW(Instance(), className, &info);
}

template <typename Function>
Function Real(const wchar_t* module, const char* name) {
    FARPROC entry = GetProcAddress(LoadLibraryW(module), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(entry));
}

// Where start-up stands when each step is reached.
struct StartSeen {
    bool probedBeforeDirect3D = false;
    bool hiddenAtDirect3D = false;
    int showCommand = -1;
    RECT placeWhenShown{};
    int framesBeforeInput = -1;
    int timedFramesBeforeInput = -1;
};
StartSeen seen;
bool endAtInput = false;
bool refuseWindows = false;

// Notes the show command and the place, and keeps the window its size so
// that the first paint draws it whole.
LRESULT CALLBACK WatchStart(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_MINMAX) {
        seen.showCommand = LOWORD(lParam);
        GetWindowRect(reinterpret_cast<HWND>(wParam), &seen.placeWhenShown);
        return 1;
    }
    if (code == HCBT_CREATEWND && refuseWindows) return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

// Linked in place of the platform's entry points, each noting the state of
// the start before passing the call on.
extern "C" IDirect3D9* WINAPI Direct3DCreate9(UINT version) {
    seen.probedBeforeDirect3D = !checkState.memoryLine.empty();
    seen.hiddenAtDirect3D = !IsWindowVisible(MainWindow());
    return Real<decltype(&Direct3DCreate9)>(L"d3d9.dll", "Direct3DCreate9")(version);
}

extern "C" HRESULT WINAPI DirectInput8Create(HINSTANCE instance, DWORD version, REFIID id,
                                             LPVOID* out, LPUNKNOWN outer) {
    seen.framesBeforeInput = checkState.fpsCounter.frames;
    seen.timedFramesBeforeInput = checkState.frameBatchAverage.frames;
    if (endAtInput) PostMessageW(MainWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
    using Create = decltype(&DirectInput8Create);
    return Real<Create>(L"dinput8.dll", "DirectInput8Create")(instance, version, id, out, outer);
}

TEST(Start, ProbesThenMakesTheDeviceThenShowsAsToldAndPaintsTheFirstFrameBeforeTheLoop) {
    checkState = CheckState{};
    seen = StartSeen{};
    endAtInput = true;
    HHOOK hook = SetWindowsHookExW(WH_CBT, WatchStart, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    int exitCode = wWinMain(Instance(), nullptr, nullptr, SW_SHOWMINNOACTIVE);
    UnhookWindowsHookEx(hook);
    endAtInput = false;

    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(seen.probedBeforeDirect3D);
    EXPECT_TRUE(seen.hiddenAtDirect3D);
    EXPECT_EQ(seen.showCommand, SW_SHOWMINNOACTIVE);
    const RECT& at = seen.placeWhenShown;
    EXPECT_TRUE(at.left == 200 && at.top == 50 && at.right == 1000 && at.bottom == 650)
        << at.left << ", " << at.top << " to " << at.right << ", " << at.bottom;
    EXPECT_EQ(seen.framesBeforeInput, 1);
    EXPECT_EQ(seen.timedFramesBeforeInput, 0);
    // Escape ended it: everything released, the class and the WMI session gone.
    EXPECT_EQ(inputDevices, nullptr);
    EXPECT_TRUE(NoSceneObjects());
    EXPECT_EQ(wmiSession.services, nullptr);
    WNDCLASSEXW info;
    EXPECT_FALSE(ClassInfo(info));
}

TEST(Start, EndsWithMinusOneAfterTheBenchmarkWhenTheClassOrTheWindowCannotBeMade) {
    WNDCLASSEXW taken{};
    taken.cbSize = sizeof taken;
    taken.lpfnWndProc = DefWindowProcW;
    taken.hInstance = Instance();
    taken.lpszClassName = className;
    ASSERT_NE(RegisterClassExW(&taken), 0);
    checkState.cpuScore = 0.0f;
    EXPECT_EQ(RunChecker(Instance(), SW_SHOW), -1);
    EXPECT_NE(checkState.cpuScore, 0.0f);
    WNDCLASSEXW info;
    EXPECT_TRUE(ClassInfo(info));  // left to its owner
    UnregisterClassW(className, Instance());

    refuseWindows = true;
    HHOOK hook = SetWindowsHookExW(WH_CBT, WatchStart, nullptr, GetCurrentThreadId());
    EXPECT_EQ(RunChecker(Instance(), SW_SHOW), -1);
    UnhookWindowsHookEx(hook);
    refuseWindows = false;
    EXPECT_FALSE(ClassInfo(info));
}

TEST_F(CheckWindow, TheClassHasTheArrowTheGreyBrushNoMenuAndNoIconWithoutRootIco) {
    WNDCLASSEXW info;
    ASSERT_TRUE(ClassInfo(info));
    EXPECT_EQ(info.style, UINT(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(info.lpfnWndProc, MainWndProc);
    EXPECT_EQ(info.cbClsExtra + info.cbWndExtra, 0);
    EXPECT_EQ(info.hCursor, LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(info.hbrBackground, GetStockObject(GRAY_BRUSH));
    EXPECT_EQ(info.lpszMenuName, nullptr);
    EXPECT_EQ(info.hIcon, nullptr);
}

namespace {

// Ends the window by message with a live device and input, holding one
// reference of its own to each object (and to D3DX, whose code the fonts
// run): once they are released (and a second ReleaseAll has done nothing)
// that reference is the last.
void ExpectEndReleasesEverythingOnce(HWND window, UINT message, WPARAM wParam) {
    HMODULE d3dx = LoadLibraryW(L"d3dx9_43.dll");
    inputDevices = new InputDevices{};
    ASSERT_EQ(CreateInputDevices(Instance(), window), S_OK);
    IDirectInputDevice8W* keyboard = inputDevices->keyboard;
    IDirectInputDevice8W* mouse = inputDevices->mouse;
    EXPECT_EQ(keyboard->Acquire(), S_FALSE);  // already acquired
    EXPECT_EQ(mouse->Acquire(), S_FALSE);
    const SceneResources& scene = sceneResources;
    // Each object before the one it holds a reference to.
    std::vector<IUnknown*> held = {scene.fonts[0], scene.fonts[1], scene.fonts[2],
                                   scene.vertexBuffer, scene.indexBuffer, scene.cubeTexture,
                                   scene.device, keyboard, mouse, inputDevices->directInput};
    for (IUnknown* object : held) {
        ASSERT_NE(object, nullptr);
        object->AddRef();
    }
    SendMessageW(window, message, wParam, 0);
    ReleaseAll();

    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(inputDevices, nullptr);
    EXPECT_TRUE(NoSceneObjects());
    EXPECT_EQ(keyboard->Unacquire(), S_FALSE);  // already unacquired
    EXPECT_EQ(mouse->Unacquire(), S_FALSE);
    for (std::size_t i = 0; i < held.size(); ++i) EXPECT_EQ(held[i]->Release(), 0u) << "object " << i;
    MSG quit{};
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);
    FreeLibrary(d3dx);
}

}  // namespace

TEST_F(CheckWindow, EscapeReleasesEveryObjectOnceAndQuitsWithZero) {
    ExpectEndReleasesEverythingOnce(window, WM_KEYDOWN, VK_ESCAPE);
}

TEST_F(CheckWindow, ACloseRequestEndsTheSameWay) {
    ExpectEndReleasesEverythingOnce(window, WM_CLOSE, 0);
}

TEST_F(CheckWindow, InputStopsAtTheFirstFailingStepKeepingWhatItMade) {
    EXPECT_EQ(CreateInputDevices(Instance(), window), E_POINTER);  // no record
    inputDevices = new InputDevices{};
    // No window for the cooperative level: the keyboard fails, the mouse is
    // never tried.
    EXPECT_TRUE(FAILED(CreateInputDevices(Instance(), nullptr)));
    EXPECT_NE(inputDevices->directInput, nullptr);
    EXPECT_NE(inputDevices->keyboard, nullptr);
    EXPECT_EQ(inputDevices->mouse, nullptr);
    ReleaseAll();
    EXPECT_EQ(inputDevices, nullptr);
}
