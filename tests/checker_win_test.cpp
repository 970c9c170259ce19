// Under Wine: the whole start, the window, the frames on the real device.
#include "allocation_count.h"
#include "app/checker_win.h"
#include "common/check_state.h"
#include "common/verdict.h"
#include "device_fault_win.h"
#include "frame/frame_win.h"
#include "picture_win.h"
#include "platform/clock.h"
#include "probe/wmi.h"
#include "scene/scene_win.h"
#include "text_lines.h"

#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

// This program's clock: the tick stays where a test puts it.
static uint32_t fakeTick = 0;
uint32_t TickMilliseconds() { return fakeTick; }
int64_t PerformanceCounter() { return 0; }
int64_t PerformanceFrequency() { return 1000; }

namespace {

constexpr wchar_t className[] = L"GralvenClass";
HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

// Where start-up stands as each step is reached.
bool probedBeforeDirect3D = false;
bool hiddenAtDirect3D = false;
int showCommand = -1;

// Notes the show command and refuses it, and has Escape end the loop at
// once: the first paint comes all the same.
LRESULT CALLBACK WatchShow(int code, WPARAM wParam, LPARAM lParam) {
    if (code != HCBT_MINMAX) return CallNextHookEx(nullptr, code, wParam, lParam);
    showCommand = LOWORD(lParam);
    PostMessageW(reinterpret_cast<HWND>(wParam), WM_KEYDOWN, VK_ESCAPE, 0);
    return 1;
}

bool withoutDirect3D = false;

// A window of the checker's class, shown, with InitDirect3D run on it in the
// test's folder (a 64 x 64 "npc.png"), from a fresh state.
class CheckWindow : public testing::Test {
protected:
    void SetUp() override {
        checkState = CheckState{};
        frameState = FrameState{};
        fakeTick = 0;
        ASSERT_TRUE(RegisterMainClass(Instance()));
        window = CreateWindowExW(0, className, L"", WS_CAPTION, 200, 50, windowWidth, windowHeight, nullptr,
                                 nullptr, Instance(), nullptr);
        ShowWindow(window, SW_SHOW);
        ASSERT_EQ(InitDirect3DAndJudge(window), S_OK);
    }
    // Every object made on the device holds a reference to it, so once all
    // is released only the test's are left: two, so that a release too many
    // shows as 0 rather than freeing the device under the test.
    void TearDown() override {
        IDirect3DDevice9* device = sceneResources.device;
        if (device) device->AddRef();
        if (device) device->AddRef();
        if (IsWindow(window)) DestroyWindow(window);
        ReleaseAll();
        if (device) {
            EXPECT_EQ(device->Release(), 1u);
            device->Release();
        }
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        UnregisterMainClass(Instance());
    }
    HWND window = nullptr;
};

std::vector<uint32_t> Picture(HWND window, uint32_t tick) {
    fakeTick = tick;
    return DrawnPicture(sceneResources.device, [window] {
        SetFrameTransforms();
        RenderFrame(window);
    });
}

// The device's steps, but Present and TestCooperativeLevel return
// deviceResult: a reset or a new device is the program's own.
HRESULT deviceResult = D3D_OK;
DeviceFrame deviceFrame;
FrameSteps Returning(HWND window, HRESULT result) {
    deviceResult = result;
    deviceFrame.window = window;
    FrameSteps steps = DeviceFrameSteps(deviceFrame);
    steps.present = [](void*) { return HResult(deviceResult); };
    steps.testCooperativeLevel = steps.present;
    return steps;
}

}  // namespace

// Linked in place of the program's: notes the state, then passes on to the
// platform's.
IDirect3D9* CreateDirect3D9() {
    if (withoutDirect3D) return nullptr;
    probedBeforeDirect3D = !checkState.memoryLine.empty();
    hiddenAtDirect3D = !IsWindowVisible(FindWindowW(className, nullptr));
    FARPROC entry = GetProcAddress(LoadLibraryW(L"d3d9.dll"), "Direct3DCreate9");
    using Create = decltype(&Direct3DCreate9);
    return reinterpret_cast<Create>(reinterpret_cast<void (*)()>(entry))(D3D_SDK_VERSION);
}

// One whole start a test process: the first holds the one check's mutex to
// its end.
TEST(Start, ProbesThenMakesTheDeviceThenShowsAsToldAndPaintsTheFirstFrameBeforeTheLoop) {
    HHOOK hook = SetWindowsHookExW(WH_CBT, WatchShow, nullptr, GetCurrentThreadId());
    EXPECT_EQ(wWinMain(Instance(), nullptr, nullptr, SW_SHOWMINNOACTIVE), 0);
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(probedBeforeDirect3D);
    EXPECT_TRUE(hiddenAtDirect3D);
    EXPECT_EQ(showCommand, SW_SHOWMINNOACTIVE);
    EXPECT_EQ(checkState.fpsCounter.frames, 1);  // the first paint
    // Escape ended it: the class and the WMI session gone.
    EXPECT_EQ(wmiSession.services, nullptr);
    EXPECT_FALSE(UnregisterClassW(className, Instance()));
}

// Another check holds the mutex; its window, the fixture's, is minimised and
// another window is in front. The start measures nothing (the benchmark
// would set the CPU score; the class, already registered, would make it end
// with -1) and brings the other check's window up.
TEST_F(CheckWindow, AStartWhileAnotherCheckRunsBringsItsWindowUpAndEndsWithZeroMeasuringNothing) {
    HANDLE otherCheck = CreateMutexW(nullptr, FALSE, L"Local\\TarvoquinCheck");
    SetWindowTextW(window, L"【Tarvoquin】配置检测");
    ShowWindow(window, SW_MINIMIZE);
    HWND elsewhere = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10,
                                     nullptr, nullptr, Instance(), nullptr);
    SetForegroundWindow(elsewhere);
    EXPECT_EQ(wWinMain(Instance(), nullptr, nullptr, SW_SHOW), 0);
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    EXPECT_EQ(checkState.cpuScore, 0.0f);
    EXPECT_FALSE(IsIconic(window));
    EXPECT_EQ(GetForegroundWindow(), window);
    DestroyWindow(elsewhere);
    CloseHandle(otherCheck);
}

// The frame rate is not capped by the display.
TEST_F(CheckWindow, TheDeviceNeverWaitsForTheRetrace) {
    IDirect3DSwapChain9* chain = nullptr;
    ASSERT_EQ(sceneResources.device->GetSwapChain(0, &chain), S_OK);
    D3DPRESENT_PARAMETERS parameters{};
    chain->GetPresentParameters(&parameters);
    chain->Release();
    EXPECT_EQ(parameters.PresentationInterval, UINT(D3DPRESENT_INTERVAL_IMMEDIATE));
}

// A paint validates the window and allocates nothing.
TEST_F(CheckWindow, APaintAllocatesNothing) {
    std::size_t allocations = allocationCount;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(allocationCount, allocations);
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
}

// Lost in a frame, then reset by the next idle pass (the cube's buffers
// released first, or Direct3D refuses) to the same picture, the managed
// texture kept.
TEST_F(CheckWindow, ALostDeviceIsResetToTheSamePicture) {
    const std::vector<uint32_t> before = Picture(window, 0);
    ASSERT_EQ(before.size(), 800u * 600);
    EXPECT_EQ(before[164 * 800 + 264], 0xFFC81E1Eu);  // the image's red quadrant
    IDirect3DTexture9* texture = sceneResources.cubeTexture;
    TimeFrame(frameState, checkState, Returning(window, D3DERR_DEVICELOST));
    TimeFrame(frameState, checkState, Returning(window, D3DERR_DEVICENOTRESET));
    EXPECT_FALSE(frameState.deviceLost);
    EXPECT_EQ(sceneResources.cubeTexture, texture);
    EXPECT_TRUE(Picture(window, 0) == before);
}

// Made again to the same picture; then when none comes, the machine fails and
// the window is to show the report.
TEST_F(CheckWindow, ADeviceTheDriverGaveUpOnIsMadeAgainOrTheWindowShowsTheReport) {
    const std::vector<uint32_t> before = Picture(window, 500);
    TimeFrame(frameState, checkState, Returning(window, D3DERR_DRIVERINTERNALERROR));
    TimeFrame(frameState, checkState, Returning(window, D3DERR_DRIVERINTERNALERROR));
    ASSERT_NE(sceneResources.device, nullptr);
    EXPECT_TRUE(Picture(window, 500) == before);
    TimeFrame(frameState, checkState, Returning(window, D3DERR_DRIVERINTERNALERROR));
    withoutDirect3D = true;
    TimeFrame(frameState, checkState, Returning(window, D3DERR_DRIVERINTERNALERROR));
    withoutDirect3D = false;
    const SceneResources none{};
    EXPECT_EQ(std::memcmp(&sceneResources, &none, sizeof none), 0);
    EXPECT_TRUE(NoDeviceToMeasure(checkState));
    EXPECT_TRUE(GetUpdateRect(window, nullptr, FALSE));
}

// The cube's buffers, or the rows' fonts, cannot be made on the device: a
// frame without them is cheaper than the one the frame rule is set for, so
// the device goes and the machine fails as one without a device, for that
// reason.
TEST_F(CheckWindow, ADeviceThatCannotMakeTheCubeOrTheRowsIsLetGoAndTheMachineFailsWithTheReason) {
    const struct { void (*plant)(void*); void (*takeBack)(); HRESULT result; DeviceProblem problem; }
        faults[] = {
        {RefuseVertexBuffers, AllowVertexBuffers, sceneFailedResult, DeviceProblem::SceneObjects},
        {TellNoTextureSize, TellTextureSizes, rowFontsFailedResult, DeviceProblem::RowFonts},
    };
    for (const auto& fault : faults) {
        SCOPED_TRACE(int(fault.problem));
        if (!sceneResources.device) {
            ASSERT_EQ(InitDirect3DAndJudge(window), S_OK);
        }
        fault.plant(sceneResources.device);
        ReleaseAll();
        checkState = CheckState{};
        const HRESULT result = InitDirect3DAndJudge(window);
        fault.takeBack();
        EXPECT_EQ(result, fault.result);
        const SceneResources none{};
        EXPECT_EQ(std::memcmp(&sceneResources, &none, sizeof none), 0);
        EXPECT_EQ(checkState.rules[std::size_t(Rule::Device)].figure, double(fault.problem));
        EXPECT_TRUE(NoDeviceToMeasure(checkState));
        EXPECT_GT(std::wcslen(checkState.adapterLine), 7u);  // the adapter's name after the prefix
    }
}

namespace {

std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (const auto* units = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr) {
        text = units;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

constexpr WPARAM ctrlC = 0x03;  // the character TranslateMessage makes of Ctrl+C

}  // namespace

// Read back as any Windows program reads the clipboard.
TEST_F(CheckWindow, CtrlCCopiesTheReportWhoseFirstNineLinesAreTheRowsAsDrawn) {
    checkState.cpuLine = L"CPU：Test CPU";
    checkState.osLine = L"Test OS";
    checkState.memoryLine = L"内存: 16G";
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const DWORD writes = GetClipboardSequenceNumber();
    SendMessageW(window, WM_CHAR, ctrlC, 0);
    EXPECT_NE(GetClipboardSequenceNumber(), writes);
    const std::vector<std::wstring> lines = Lines(ClipboardText());
    const std::vector<std::wstring> rows = {
        checkState.adapterLine, L"CPU：Test CPU", L"操作系统: Test OS", L"内存: 16G",
        L"FPS:0.000", L"CPU:0.000", L"FPSMA:计算中...", L"系统检测中请不要关闭!", L"GPU: 计算中...",
        L""};
    ASSERT_GE(lines.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(lines[i], rows[i]) << "line " << i;
}

namespace {

struct Holder {
    HANDLE held = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE copied = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD waited = WAIT_FAILED;
};

DWORD WINAPI HoldClipboard(void* parameter) {
    auto* holder = static_cast<Holder*>(parameter);
    OpenClipboard(nullptr);
    SetEvent(holder->held);
    holder->waited = WaitForSingleObject(holder->copied, 10000);
    CloseClipboard();
    return 0;
}

}  // namespace

// Another program keeps the clipboard open: the copy is given up while it
// still holds it, nothing is written, no box is shown.
TEST_F(CheckWindow, AClipboardHeldByAnotherProgramIsGivenUpAndTheCheckGoesOn) {
    Holder holder;
    HANDLE thread = CreateThread(nullptr, 0, HoldClipboard, &holder, 0, nullptr);
    WaitForSingleObject(holder.held, 10000);
    const DWORD writes = GetClipboardSequenceNumber();
    SendMessageW(window, WM_CHAR, ctrlC, 0);
    SetEvent(holder.copied);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    EXPECT_EQ(holder.waited, WAIT_OBJECT_0);
    EXPECT_EQ(GetClipboardSequenceNumber(), writes);
    EXPECT_EQ(FindWindowW(L"#32770", nullptr), nullptr);
    CloseHandle(holder.held);
    CloseHandle(holder.copied);
}
