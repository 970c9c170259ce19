// The program's Windows side under Wine: the whole start, the window, and
// the frames on the real Direct3D device.
#include "allocation_count.h"
#include "method_patch_win.h"
#include "picture_win.h"
#include "app/checker_win.h"
#include "app/input_win.h"
#include "common/check_state.h"
#include "common/clock.h"
#include "frame/frame_win.h"
#include "probe/wmi.h"
#include "render/scene_win.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

// This program's clock: the tick stays where a test puts it (0 unless it says
// otherwise); the counter advances 250 per reading at 1000 per second.
static int64_t fakeCounter = 0;
static uint32_t fakeTick = 0;
uint32_t TickMilliseconds() { return fakeTick; }
int64_t PerformanceCounter() { return fakeCounter += 250; }
int64_t PerformanceFrequency() { return 1000; }

namespace {

constexpr wchar_t className[] = L"GralvenClass";
// Written by the planted d3dx9_43.dll (tests/planted_d3dx_win.cpp) when it
// is loaded, in the working folder.
constexpr wchar_t plantedD3dxMarker[] = L"planted_d3dx9_43.loaded";
HINSTANCE Instance() { return GetModuleHandleW(nullptr); }
HWND MainWindow() { return FindWindowW(className, nullptr); }
bool NoSceneObjects() {
    const SceneResources none{};
    return std::memcmp(&sceneResources, &none, sizeof none) == 0;
}

template <typename Function>
Function Real(const wchar_t* module, const char* name) {
    FARPROC entry = GetProcAddress(LoadLibraryW(module), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(entry));
}

// Where start-up stands as each step is reached; the run ends at the input.
struct StartSeen {
    bool probedBeforeDirect3D = false;
    bool hiddenAtDirect3D = false;
    int showCommand = -1;
    int framesBeforeInput = -1;
    bool endAtInput = false;
} seen;

// Notes the show command and refuses it: the first paint comes all the same.
LRESULT CALLBACK WatchShow(int code, WPARAM wParam, LPARAM lParam) {
    if (code != HCBT_MINMAX) return CallNextHookEx(nullptr, code, wParam, lParam);
    seen.showCommand = LOWORD(lParam);
    return 1;
}

// CreateDirect3D9 (below) answers null while this is set.
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
        window = CreateWindowExW(0, className, L"", WS_CAPTION, 200, 50, 800, 600, nullptr,
                                 nullptr, Instance(), nullptr);
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        ASSERT_EQ(InitDirect3D(window), S_OK);
    }
    void TearDown() override {
        if (IsWindow(window)) DestroyWindow(window);
        ReleaseAll();
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        UnregisterMainClass(Instance());
    }
    HWND window = nullptr;
};

// A method of the device's or the fonts' shared table, noted by its slot
// before the platform's runs; without allocating.
int calls[32];
int callCount = 0;
template <int Slot, typename Result, typename Self, typename... Args>
struct Noted {
    static constexpr int slot = Slot;
    static inline Result(WINAPI* real)(Self*, Args...) = nullptr;
    static Result WINAPI Call(Self* self, Args... args) {
        if (callCount < 32) calls[callCount++] = slot;
        return real(self, args...);
    }
};
template <typename Method>
void Note(void* object) {
    Patch(object, Method::slot, Method::Call, Method::real);
}
using Device = IDirect3DDevice9;
// One frame at the tick, transforms set.
std::vector<uint32_t> Picture(HWND window, uint32_t tick) {
    fakeTick = tick;
    return DrawnPicture(sceneResources.device, [window] {
        SetFrameTransforms();
        RenderFrame(window);
    });
}

D3DPRESENT_PARAMETERS PresentParameters() {
    IDirect3DSwapChain9* chain = nullptr;
    D3DPRESENT_PARAMETERS parameters{};
    if (sceneResources.device->GetSwapChain(0, &chain) != S_OK) return parameters;
    chain->GetPresentParameters(&parameters);
    chain->Release();
    return parameters;
}

// Under Wine a Reset refused because the cube's buffers are alive leaves the
// device as a real loss does: answering "not reset", its Present "lost". The
// lost frame is that Present alone: anything drawn on a device left so makes
// Mesa's rasteriser fault now and then, where a really lost device ignores it.
void LoseTheDeviceInAFrame() {
    D3DPRESENT_PARAMETERS parameters = PresentParameters();
    ASSERT_EQ(sceneResources.device->Reset(&parameters), D3DERR_INVALIDCALL);
    ASSERT_EQ(sceneResources.device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    FrameSteps presentOnly = direct3DFrameSteps;
    presentOnly.beginScene = presentOnly.drawCube = presentOnly.endScene = [] {};
    presentOnly.drawRowsToCpuFigure = [] {};
    presentOnly.drawRowsFromFpsma = [](float) {};
    EXPECT_FALSE(RenderFrame(frameState, checkState, presentOnly));
    EXPECT_TRUE(frameState.deviceLost);
}

// The device's steps, but the driver has given up on the device: Present and
// TestCooperativeLevel answer so; the device is made again by the program.
FrameSteps GaveUpSteps() {
    FrameSteps steps = direct3DFrameSteps;
    steps.present = [] { return int32_t(D3DERR_DRIVERINTERNALERROR); };
    steps.testCooperativeLevel = steps.present;
    return steps;
}

}  // namespace

// Linked in place of the program's: each notes the state, then passes on to
// the platform's.
IDirect3D9* CreateDirect3D9() {
    if (withoutDirect3D) return nullptr;
    seen.probedBeforeDirect3D = !checkState.memoryLine.empty();
    seen.hiddenAtDirect3D = !IsWindowVisible(MainWindow());
    return Real<decltype(&Direct3DCreate9)>(L"d3d9.dll", "Direct3DCreate9")(D3D_SDK_VERSION);
}

HRESULT CreateDirectInput8(HINSTANCE instance, DWORD version, REFIID id, void** out,
                           IUnknown* outer) {
    seen.framesBeforeInput = checkState.fpsCounter.frames;
    if (seen.endAtInput) PostMessageW(MainWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
    using Create = decltype(&DirectInput8Create);
    return Real<Create>(L"dinput8.dll", "DirectInput8Create")(instance, version, id, out, outer);
}

// A d3dx9_43.dll lies beside the test program, and Wine is told to take a
// DLL of that name from there before its own (tests/windows.cmake): had the
// start asked for it, it would be loaded and have left its marker file. One
// whole start a test process: the first holds the one check's mutex to its end.
TEST(Start, ProbesThenMakesTheDeviceThenShowsAsToldAndPaintsTheFirstFrameBeforeTheLoop) {
    DeleteFileW(plantedD3dxMarker);
    seen.endAtInput = true;
    HHOOK hook = SetWindowsHookExW(WH_CBT, WatchShow, nullptr, GetCurrentThreadId());
    EXPECT_EQ(wWinMain(Instance(), nullptr, nullptr, SW_SHOWMINNOACTIVE), 0);
    UnhookWindowsHookEx(hook);
    seen.endAtInput = false;
    EXPECT_TRUE(seen.probedBeforeDirect3D);
    EXPECT_TRUE(seen.hiddenAtDirect3D);
    EXPECT_EQ(seen.showCommand, SW_SHOWMINNOACTIVE);
    EXPECT_EQ(seen.framesBeforeInput, 1);  // the first paint
    // Escape ended it: the class and the WMI session gone.
    EXPECT_EQ(wmiSession.services, nullptr);
    EXPECT_FALSE(UnregisterClassW(className, Instance()));
    EXPECT_EQ(GetModuleHandleW(L"d3dx9_43.dll"), nullptr);
    EXPECT_EQ(GetFileAttributesW(plantedD3dxMarker), INVALID_FILE_ATTRIBUTES);
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

// Never waiting for the retrace: the frame rate is not capped by the display.
TEST_F(CheckWindow, TheDeviceIsMadeOnTheHardwareWithoutWaitingForTheRetrace) {
    EXPECT_EQ(PresentParameters().PresentationInterval, UINT(D3DPRESENT_INTERVAL_IMMEDIATE));
    D3DDEVICE_CREATION_PARAMETERS creation{};
    sceneResources.device->GetCreationParameters(&creation);
    EXPECT_EQ(creation.DeviceType, D3DDEVTYPE_HAL);
}

// Clear, begin, the cube, the nine rows, end, present; nothing allocated.
TEST_F(CheckWindow, APaintDrawsTheFrameOnTheDeviceInOrderAndAllocatesNothing) {
    IDirect3DDevice9* device = sceneResources.device;
    Note<Noted<43, HRESULT, Device, DWORD, const D3DRECT*, DWORD, D3DCOLOR, float, DWORD>>(device);
    Note<Noted<41, HRESULT, Device>>(device);
    Note<Noted<82, HRESULT, Device, D3DPRIMITIVETYPE, INT, UINT, UINT, UINT, UINT>>(device);
    Note<Noted<15, INT, ID3DXFont, ID3DXSprite*, const WCHAR*, INT, RECT*, DWORD, D3DCOLOR>>(
        sceneResources.fonts[1]);
    Note<Noted<42, HRESULT, Device>>(device);
    Note<Noted<17, HRESULT, Device, const RECT*, const RECT*, HWND, const RGNDATA*>>(device);
    callCount = 0;
    std::size_t allocations = allocationCount;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(allocationCount, allocations);
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
    const std::vector<int> inOrder = {43, 41, 82, 15, 15, 15, 15, 15, 15, 15, 15, 15, 42, 17};
    EXPECT_EQ(std::vector<int>(calls, calls + callCount), inOrder);
}

// Twice: lost in a frame, nothing drawn while lost, reset by the next idle
// pass to the same picture, the managed texture kept.
TEST_F(CheckWindow, ALostDeviceIsResetToTheSamePicture) {
    const std::vector<uint32_t> before = Picture(window, 0);
    ASSERT_EQ(before.size(), 800u * 600);
    EXPECT_EQ(before[164 * 800 + 264], 0xFFC81E1Eu);  // the image's red quadrant
    IDirect3DTexture9* texture = sceneResources.cubeTexture;
    for (int loss = 1; loss <= 2; ++loss) {
        SCOPED_TRACE(testing::Message() << "loss " << loss);
        LoseTheDeviceInAFrame();
        EXPECT_FALSE(RenderFrame(window));
        RunFrame(window);
        EXPECT_EQ(sceneResources.device->TestCooperativeLevel(), D3D_OK);
        EXPECT_EQ(sceneResources.cubeTexture, texture);
        EXPECT_TRUE(Picture(window, 0) == before);
    }
    LoseTheDeviceInAFrame();  // then closed while lost: released as ever
    ReleaseAll();
    EXPECT_TRUE(NoSceneObjects());
}

TEST_F(CheckWindow, ADeviceTheDriverGaveUpOnIsMadeAgainToTheSamePicture) {
    const std::vector<uint32_t> before = Picture(window, 500);
    RunFrame(frameState, checkState, GaveUpSteps());
    RunFrame(frameState, checkState, GaveUpSteps());
    EXPECT_FALSE(frameState.deviceLost);
    ASSERT_NE(sceneResources.device, nullptr);
    EXPECT_TRUE(Picture(window, 500) == before);
}

TEST_F(CheckWindow, WhenNoDeviceComesAgainTheMachineFailsAndTheWindowShowsTheReport) {
    RenderFrame(window);
    RunFrame(frameState, checkState, GaveUpSteps());
    withoutDirect3D = true;
    RunFrame(frameState, checkState, GaveUpSteps());
    withoutDirect3D = false;
    EXPECT_TRUE(NoSceneObjects());
    EXPECT_TRUE(checkState.deviceMissing);
    EXPECT_TRUE(GetUpdateRect(window, nullptr, FALSE));  // the report is to be painted
}

// Read by the drivers of laptops with two GPUs.
TEST(Program, AsksForTheDiscreteGraphicsProcessor) {
    HMODULE program = GetModuleHandleW(nullptr);
    const auto* nvidia = reinterpret_cast<const DWORD*>(GetProcAddress(program, "NvOptimusEnablement"));
    const auto* amd = reinterpret_cast<const int*>(
        GetProcAddress(program, "AmdPowerXpressRequestHighPerformance"));
    ASSERT_NE(nvidia, nullptr);
    ASSERT_NE(amd, nullptr);
    EXPECT_EQ(*nvidia, 1u);
    EXPECT_EQ(*amd, 1);
}
