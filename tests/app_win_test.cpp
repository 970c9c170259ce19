#include "app/checker_win.h"
#include "app/input_win.h"
#include "common/check_state.h"
#include "render/scene_win.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr wchar_t className[] = L"GralvenClass";
constexpr wchar_t title[] = L"【Tarvoquin】配置检测";
constexpr DWORD expectedStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

// app.cmake puts root.ico in "app_icon" beside the test and leaves
// "app_no_icon" empty.
std::wstring FolderBesideTest(const wchar_t* name) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L"\\/") + 1) + name;
}

bool ClassExists(WNDCLASSEXW& info) {
    info = WNDCLASSEXW{};
    info.cbSize = sizeof(info);
    return GetClassInfoExW(Instance(), className, &info) != 0;
}

bool QuitPosted(WPARAM& code) {
    MSG message{};
    if (!PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return false;
    code = message.wParam;
    return true;
}

// How the program ends, by Escape or by a close request: the window gone,
// the input devices released, the quit message posted with code 0.
void ExpectEndedWithQuitZero(HWND window) {
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(inputDevices, nullptr);
    WPARAM code = 99;
    ASSERT_TRUE(QuitPosted(code));
    EXPECT_EQ(code, 0u);
}

// Bounded: a window that never validates its paint would otherwise keep
// the queue full for ever.
void DrainQueue() {
    MSG message{};
    for (int left = 1000; left > 0 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); --left) {
        DispatchMessageW(&message);
    }
}

LRESULT CALLBACK StandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(RunChecker, ReturnsMinusOneWhenTheWindowClassIsAlreadyRegistered) {
    WNDCLASSEXW standIn{};
    standIn.cbSize = sizeof(standIn);
    standIn.lpfnWndProc = StandInProc;
    standIn.hInstance = Instance();
    standIn.lpszClassName = className;
    ASSERT_NE(RegisterClassExW(&standIn), 0);
    checkState.cpuScore = 0.0f;

    EXPECT_EQ(RunChecker(Instance(), SW_HIDE), -1);

    // The benchmark comes first and has run; no window was made, and the
    // class that was there is left alone.
    EXPECT_NE(checkState.cpuScore, 0.0f);
    EXPECT_EQ(FindWindowW(nullptr, title), nullptr);
    WNDCLASSEXW info;
    ASSERT_TRUE(ClassExists(info));
    EXPECT_EQ(info.lpfnWndProc, StandInProc);
    UnregisterClassW(className, Instance());
}

struct CreationSeen {
    bool seen = false;
    std::wstring className;
    std::wstring title;
    CREATESTRUCTW parameters{};
};
CreationSeen creationSeen;

// Refuses the creation of every window, after noting what was asked for.
LRESULT CALLBACK RefuseWindows(int code, WPARAM wParam, LPARAM lParam) {
    if (code != HCBT_CREATEWND) return CallNextHookEx(nullptr, code, wParam, lParam);
    const CREATESTRUCTW& asked = *reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
    creationSeen.seen = true;
    if (!IS_INTRESOURCE(asked.lpszClass)) creationSeen.className = asked.lpszClass;
    if (asked.lpszName) creationSeen.title = asked.lpszName;
    creationSeen.parameters = asked;
    return 1;
}

TEST(RunChecker, UnregistersTheClassAndReturnsMinusOneWhenTheWindowCannotBeCreated) {
    creationSeen = CreationSeen{};
    HHOOK hook = SetWindowsHookExW(WH_CBT, RefuseWindows, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    int result = RunChecker(Instance(), SW_SHOWNORMAL);
    UnhookWindowsHookEx(hook);

    EXPECT_EQ(result, -1);
    WNDCLASSEXW info;
    EXPECT_FALSE(ClassExists(info));
    // The window it asked for: hidden, fixed size, no parent or menu.
    ASSERT_TRUE(creationSeen.seen);
    EXPECT_EQ(creationSeen.className, className);
    EXPECT_EQ(creationSeen.title, title);
    const CREATESTRUCTW& asked = creationSeen.parameters;
    EXPECT_EQ(asked.dwExStyle & ~static_cast<DWORD>(WS_EX_WINDOWEDGE), 0u);
    EXPECT_EQ(asked.style & (expectedStyle | WS_VISIBLE | WS_THICKFRAME | WS_MAXIMIZEBOX),
              expectedStyle);
    EXPECT_EQ(asked.cx, 800);
    EXPECT_EQ(asked.cy, 600);
    EXPECT_EQ(asked.hwndParent, nullptr);
    EXPECT_EQ(asked.hMenu, nullptr);
}

class MainClassIn : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t folder[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, folder);
        startFolder = folder;
    }
    void TearDown() override {
        UnregisterMainClass(Instance());
        SetCurrentDirectoryW(startFolder.c_str());
    }
    bool RegisterIn(const wchar_t* folder) {
        EXPECT_TRUE(SetCurrentDirectoryW(FolderBesideTest(folder).c_str()));
        return RegisterMainClass(Instance());
    }
    std::wstring startFolder;
};

TEST_F(MainClassIn, AFolderWithRootIcoGetsTheIconTheArrowAndTheGreyBrush) {
    ASSERT_TRUE(RegisterIn(L"app_icon"));
    WNDCLASSEXW info;
    ASSERT_TRUE(ClassExists(info));
    EXPECT_EQ(info.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(info.lpfnWndProc, MainWndProc);
    EXPECT_EQ(info.cbClsExtra, 0);
    EXPECT_EQ(info.cbWndExtra, 0);
    EXPECT_EQ(info.hCursor, LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(info.hbrBackground, GetStockObject(GRAY_BRUSH));
    EXPECT_EQ(info.lpszMenuName, nullptr);
    ASSERT_NE(info.hIcon, nullptr);
    // Loaded at the system's default icon size from our multi-size file.
    ICONINFO icon{};
    ASSERT_TRUE(GetIconInfo(info.hIcon, &icon));
    BITMAP colour{};
    GetObjectW(icon.hbmColor, sizeof(colour), &colour);
    EXPECT_EQ(colour.bmWidth, GetSystemMetrics(SM_CXICON));
    DeleteObject(icon.hbmColor);
    DeleteObject(icon.hbmMask);
}

TEST_F(MainClassIn, AFolderWithoutRootIcoStillRegistersWithoutAnIcon) {
    ASSERT_TRUE(RegisterIn(L"app_no_icon"));
    WNDCLASSEXW info;
    ASSERT_TRUE(ClassExists(info));
    EXPECT_EQ(info.hIcon, nullptr);
}

// A real main window on the real class, driven message by message.
class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(RegisterMainClass(Instance()));
        window = CreateWindowExW(0, className, title, expectedStyle, 200, 50, 800, 600, nullptr,
                                 nullptr, Instance(), nullptr);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        if (IsWindow(window)) DestroyWindow(window);
        ReleaseAll();
        DrainQueue();
        WPARAM ignored;
        QuitPosted(ignored);
        UnregisterMainClass(Instance());
    }
    void ShowInFront() {
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        DrainQueue();
    }
    void StartInput() {
        inputDevices = new InputDevices{};
        ASSERT_EQ(CreateInputDevices(Instance(), window), S_OK);
    }
    HWND window = nullptr;
};

TEST_F(MainWindow, KeysOtherThanEscapeAreSwallowed) {
    for (WPARAM key : {WPARAM('A'), WPARAM(VK_SPACE), WPARAM(VK_RETURN), WPARAM(VK_F4)}) {
        EXPECT_EQ(MainWndProc(window, WM_KEYDOWN, key, 0), 0) << key;
    }
    EXPECT_TRUE(IsWindow(window));
    WPARAM code;
    EXPECT_FALSE(QuitPosted(code));
}

TEST_F(MainWindow, EscapeReleasesTheInputDevicesDestroysTheWindowAndPostsQuitZero) {
    ShowInFront();
    StartInput();
    EXPECT_EQ(MainWndProc(window, WM_KEYDOWN, VK_ESCAPE, 0), 0);
    ExpectEndedWithQuitZero(window);
}

TEST_F(MainWindow, ACloseRequestEndsTheSameWayAsEscape) {
    inputDevices = new InputDevices{};
    SendMessageW(window, WM_CLOSE, 0, 0);
    ExpectEndedWithQuitZero(window);
}

TEST_F(MainWindow, APaintWithoutADeviceValidatesTheWholeClientArea) {
    ShowInFront();
    InvalidateRect(window, nullptr, FALSE);
    ASSERT_TRUE(GetUpdateRect(window, nullptr, FALSE));
    UpdateWindow(window);
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
}

TEST_F(MainWindow, OtherMessagesGetTheDefaultProcedure) {
    const wchar_t text[] = L"其他";
    EXPECT_EQ(MainWndProc(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)), TRUE);
    wchar_t read[16] = {};
    GetWindowTextW(window, read, 16);
    EXPECT_STREQ(read, text);
    POINT inside{300, 300};
    ClientToScreen(window, &inside);
    EXPECT_EQ(MainWndProc(window, WM_NCHITTEST, 0, MAKELPARAM(inside.x, inside.y)), HTCLIENT);
}

TEST_F(MainWindow, InputDevicesAreAcquiredThenUnacquiredAndReleasedOnceByReleaseAll) {
    ShowInFront();
    StartInput();
    ASSERT_NE(inputDevices->directInput, nullptr);
    ASSERT_NE(inputDevices->keyboard, nullptr);
    ASSERT_NE(inputDevices->mouse, nullptr);
    // Acquiring an acquired device has no effect.
    EXPECT_EQ(inputDevices->keyboard->Acquire(), S_FALSE);
    EXPECT_EQ(inputDevices->mouse->Acquire(), S_FALSE);
    IDirectInput8W* directInput = inputDevices->directInput;
    IDirectInputDevice8W* keyboard = inputDevices->keyboard;
    IDirectInputDevice8W* mouse = inputDevices->mouse;
    directInput->AddRef();
    keyboard->AddRef();
    mouse->AddRef();

    ReleaseAll();
    ReleaseAll();

    EXPECT_EQ(inputDevices, nullptr);
    EXPECT_EQ(sceneResources.device, nullptr);
    EXPECT_EQ(keyboard->Unacquire(), S_FALSE);
    EXPECT_EQ(mouse->Unacquire(), S_FALSE);
    // Only the references taken here are left.
    EXPECT_EQ(keyboard->Release(), 0u);
    EXPECT_EQ(mouse->Release(), 0u);
    EXPECT_EQ(directInput->Release(), 0u);
}

TEST_F(MainWindow, InputStopsAtTheFirstFailingStepAndKeepsWhatItMade) {
    inputDevices = new InputDevices{};
    // No window for the cooperative level: the keyboard exists, the mouse
    // is never tried.
    EXPECT_TRUE(FAILED(CreateInputDevices(Instance(), nullptr)));
    EXPECT_NE(inputDevices->directInput, nullptr);
    EXPECT_NE(inputDevices->keyboard, nullptr);
    EXPECT_EQ(inputDevices->mouse, nullptr);
    ReleaseAll();
    EXPECT_EQ(inputDevices, nullptr);

    inputDevices = new InputDevices{};
    EXPECT_TRUE(FAILED(CreateInputDevices(nullptr, window)));
    EXPECT_EQ(inputDevices->directInput, nullptr);
    EXPECT_EQ(inputDevices->keyboard, nullptr);
}

TEST(CreateInputDevices, WithoutARecordCreatesNothing) {
    ASSERT_EQ(inputDevices, nullptr);
    EXPECT_EQ(CreateInputDevices(Instance(), nullptr), E_POINTER);
    EXPECT_EQ(inputDevices, nullptr);
}

}  // namespace
