#include "allocation_count.h"
#include "method_patch_win.h"
#include "picture_win.h"
#include "app/checker_win.h"
#include "app/input_win.h"
#include "common/check_state.h"
#include "common/clock.h"
#include "probe/wmi.h"
#include "render/cube.h"
#include "frame/frame_win.h"
#include "render/scene_win.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

// This program's clock: the tick stays where a test puts it (0 unless it says
// otherwise); the counter advances 250 per reading at 1000 per second, so
// every frame that RunFrame times takes 250 ms.
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
bool ClassInfo(WNDCLASSEXW& info) {
    info = WNDCLASSEXW{};
    info.cbSize = sizeof info;
    return GetClassInfoExW(Instance(), className, &info);
}
bool NoSceneObjects() {
    const SceneResources none{};
    return std::memcmp(&sceneResources, &none, sizeof none) == 0;
}

template <typename Function>
Function Real(const wchar_t* module, const char* name) {
    FARPROC entry = GetProcAddress(LoadLibraryW(module), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(entry));
}
IDirect3D9* RealDirect3D() {
    return Real<decltype(&Direct3DCreate9)>(L"d3d9.dll", "Direct3DCreate9")(D3D_SDK_VERSION);
}

// Where start-up stands as each step is reached; the run ends at the loop.
struct StartSeen {
    bool probedBeforeDirect3D = false;
    bool hiddenAtDirect3D = false;
    int showCommand = -1;  // and the place, when shown
    RECT placeWhenShown{};
    int framesBeforeInput = -1;
    int timedFramesBeforeInput = -1;
    bool endAtInput = false;
} seen;

// Notes the show command and the place; keeps the size for the first paint.
LRESULT CALLBACK WatchShow(int code, WPARAM wParam, LPARAM lParam) {
    if (code != HCBT_MINMAX) return CallNextHookEx(nullptr, code, wParam, lParam);
    seen.showCommand = LOWORD(lParam);
    GetWindowRect(reinterpret_cast<HWND>(wParam), &seen.placeWhenShown);
    return 1;
}

// A window of the checker's class, shown, with InitDirect3D run on it in the
// test's folder (a 64 x 64 "npc.png", no "root.ico"), from a fresh state.
class CheckWindow : public testing::Test {
protected:
    explicit CheckWindow(HRESULT initResult = S_OK) : initResult(initResult) {}
    void SetUp() override {
        checkState = CheckState{};
        fakeTick = 0;
        ASSERT_TRUE(RegisterMainClass(Instance()));
        window = CreateWindowExW(0, className, L"", WS_CAPTION, 200, 50, 800, 600, nullptr,
                                 nullptr, Instance(), nullptr);
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        ASSERT_EQ(InitDirect3D(window), initResult);
    }
    void TearDown() override {
        if (IsWindow(window)) DestroyWindow(window);
        ReleaseAll();
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        UnregisterMainClass(Instance());
    }
    HRESULT initResult;
    HWND window = nullptr;
};

// CreateDirect3D9 (below) answers null while this is set.
bool withoutDirect3D = false;

// A machine without Direct3D 9: InitDirect3D fails for want of a device.
class WithoutDevice : public CheckWindow {
protected:
    WithoutDevice() : CheckWindow(noDeviceResult) {}
    void SetUp() override {
        withoutDirect3D = true;
        CheckWindow::SetUp();
    }
    void TearDown() override {
        withoutDirect3D = false;
        CheckWindow::TearDown();
    }
};

// IDirectInputDevice8W::Unacquire, slot 8 (IUnknown's three, then
// GetCapabilities up to Acquire) of the table both devices share, noted.
using UnacquireMethod = HRESULT(WINAPI*)(IDirectInputDevice8W*);
UnacquireMethod realUnacquire = nullptr;
std::vector<IDirectInputDevice8W*> unacquired;
HRESULT WINAPI NoteUnacquire(IDirectInputDevice8W* device) {
    unacquired.push_back(device);
    return realUnacquire(device);
}

// Ends the window by message holding its own reference to each object:
// after a second ReleaseAll it is the last.
void ExpectEndReleasesEverythingOnce(HWND window, UINT message, WPARAM wParam) {
    inputDevices = new InputDevices{};
    ASSERT_EQ(CreateInputDevices(Instance(), window), S_OK);
    IDirectInputDevice8W* keyboard = inputDevices->keyboard;
    IDirectInputDevice8W* mouse = inputDevices->mouse;
    EXPECT_EQ(keyboard->Acquire(), S_FALSE);  // already acquired
    EXPECT_EQ(mouse->Acquire(), S_FALSE);
    Patch(keyboard, 8, NoteUnacquire, realUnacquire);
    unacquired.clear();
    const SceneResources& scene = sceneResources;
    // Each object before the one it holds a reference to.
    std::vector<IUnknown*> held = {scene.fonts[0], scene.fonts[1], scene.fonts[2],
                                   scene.vertexBuffer, scene.indexBuffer, scene.cubeTexture,
                                   scene.device, keyboard, mouse, inputDevices->directInput};
    for (IUnknown* object : held) object->AddRef();
    SendMessageW(window, message, wParam, 0);
    ReleaseAll();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(inputDevices, nullptr);
    EXPECT_TRUE(NoSceneObjects());
    EXPECT_EQ(unacquired, (std::vector<IDirectInputDevice8W*>{keyboard, mouse}));
    for (std::size_t i = 0; i < held.size(); ++i) EXPECT_EQ(held[i]->Release(), 0u) << "object " << i;
    MSG quit{};
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);
}

// Every row goes through ID3DXFont::DrawTextW, slot 15 of the table the fonts
// share (IUnknown's three, then GetDevice up to DrawTextA): font and rectangle.
struct TextDraw {
    ID3DXFont* font;
    RECT rect;
};
std::vector<TextDraw> textDraws;
using DrawTextW = INT(WINAPI*)(ID3DXFont*, ID3DXSprite*, const WCHAR*, INT, RECT*, DWORD, D3DCOLOR);
DrawTextW realDrawText = nullptr;
INT WINAPI NoteDrawText(ID3DXFont* font, ID3DXSprite* sprite, const WCHAR* text, INT count,
                        RECT* rect, DWORD format, D3DCOLOR colour) {
    textDraws.push_back({font, *rect});
    return realDrawText(font, sprite, text, count, rect, format, colour);
}

// One frame at the tick, transforms set.
std::vector<uint32_t> Picture(HWND window, uint32_t tick) {
    fakeTick = tick;
    return DrawnPicture(sceneResources.device, [window] {
        SetFrameTransforms();
        RenderFrame(window);
    });
}

bool HasColour(const std::vector<uint32_t>& pixels, uint32_t colour, int top, int bottom) {
    for (int i = top * 800; i < bottom * 800; ++i) {
        if (i % 800 < 150 && pixels[i] == colour) return true;
    }
    return false;
}

// Under Wine a Reset refused because the cube's buffers are alive leaves the
// device as a real loss does: answering "not reset", its Present "lost". The
// lost frame is that Present alone: anything drawn on a device left so makes
// Mesa's rasteriser fault now and then, where a really lost device ignores it.
void LoseTheDeviceInAFrame() {
    IDirect3DDevice9* device = sceneResources.device;
    IDirect3DSwapChain9* chain = nullptr;
    ASSERT_EQ(device->GetSwapChain(0, &chain), S_OK);
    D3DPRESENT_PARAMETERS parameters{};
    chain->GetPresentParameters(&parameters);
    chain->Release();
    ASSERT_EQ(device->Reset(&parameters), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    FrameSteps presentOnly = direct3DFrameSteps;
    presentOnly.beginScene = presentOnly.drawCube = presentOnly.endScene = [] {};
    presentOnly.drawRowsToCpuFigure = [] {};
    presentOnly.drawRowsFromFpsma = [](float) {};
    EXPECT_FALSE(RenderFrame(frameState, checkState, presentOnly));
    EXPECT_TRUE(frameState.deviceLost);
}

// The driver gives up on the device while driverFailures lasts: Present and
// TestCooperativeLevel (slots 17 and 3 of the table devices share) answer
// D3DERR_DRIVERINTERNALERROR, each answer of the latter using one up.
int driverFailures = 0;
using PresentMethod = HRESULT(WINAPI*)(IDirect3DDevice9*, const RECT*, const RECT*, HWND,
                                       const RGNDATA*);
using CooperativeMethod = HRESULT(WINAPI*)(IDirect3DDevice9*);
PresentMethod realPresent = nullptr;
CooperativeMethod realCooperative = nullptr;
HRESULT WINAPI GiveUpPresent(IDirect3DDevice9* device, const RECT* source, const RECT* target,
                             HWND window, const RGNDATA* region) {
    HRESULT result = realPresent(device, source, target, window, region);
    return driverFailures > 0 ? D3DERR_DRIVERINTERNALERROR : result;
}
HRESULT WINAPI GiveUpCooperative(IDirect3DDevice9* device) {
    if (driverFailures == 0) return realCooperative(device);
    --driverFailures;
    return D3DERR_DRIVERINTERNALERROR;
}

// A frame whose Present answers that the driver gave up.
void GiveUpInAFrame(HWND window) {
    Patch(sceneResources.device, 17, GiveUpPresent, realPresent);
    Patch(sceneResources.device, 3, GiveUpCooperative, realCooperative);
    driverFailures = 1;
    RunFrame(window);
}

// RunFrame while nothing is to be drawn waits for a message: one is posted.
void RunFrameWithAMessage(HWND window) {
    PostMessageW(window, WM_NULL, 0, 0);
    RunFrame(window);
}

}  // namespace

// Linked in place of the program's: each notes the state, then passes on to
// the platform's.
IDirect3D9* CreateDirect3D9() {
    if (withoutDirect3D) return nullptr;
    seen.probedBeforeDirect3D = !checkState.memoryLine.empty();
    seen.hiddenAtDirect3D = !IsWindowVisible(MainWindow());
    return RealDirect3D();
}

HRESULT CreateDirectInput8(HINSTANCE instance, DWORD version, REFIID id, void** out,
                           IUnknown* outer) {
    seen.framesBeforeInput = checkState.fpsCounter.frames;
    seen.timedFramesBeforeInput = checkState.frameBatchAverage.frames;
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
    EXPECT_EQ(seen.placeWhenShown.left, 200);
    EXPECT_EQ(seen.placeWhenShown.top, 50);
    EXPECT_EQ(seen.placeWhenShown.right, 1000);
    EXPECT_EQ(seen.placeWhenShown.bottom, 650);
    EXPECT_EQ(seen.framesBeforeInput, 1);  // the first paint
    EXPECT_EQ(seen.timedFramesBeforeInput, 0);
    // Escape ended it: all released, the class and the WMI session gone.
    EXPECT_EQ(inputDevices, nullptr);
    EXPECT_TRUE(NoSceneObjects());
    EXPECT_EQ(wmiSession.services, nullptr);
    WNDCLASSEXW info;
    EXPECT_FALSE(ClassInfo(info));
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

// Registered by the fixture, the class makes a start fail after the benchmark
// and stays as it was.
TEST_F(CheckWindow, AClassAlreadyRegisteredEndsTheStartWithMinusOne) {
    EXPECT_EQ(RunChecker(Instance(), SW_SHOW), -1);
    EXPECT_NE(checkState.cpuScore, 0.0f);
    WNDCLASSEXW info;
    ASSERT_TRUE(ClassInfo(info));
    EXPECT_EQ(info.lpfnWndProc, MainWndProc);
}

TEST_F(CheckWindow, EscapeOrACloseRequestReleasesEveryObjectOnceAndQuitsWithZero) {
    ExpectEndReleasesEverythingOnce(window, WM_KEYDOWN, VK_ESCAPE);
    TearDown();
    SetUp();
    ExpectEndReleasesEverythingOnce(window, WM_CLOSE, 0);
}

// Never waiting for the retrace: the frame rate is not capped by the display.
TEST_F(CheckWindow, TheDeviceIsMadeOnceOnTheHardwareWithoutWaitingForTheRetrace) {
    IDirect3DDevice9* device = sceneResources.device;
    EXPECT_EQ(InitDirect3D(window), E_FAIL);
    EXPECT_EQ(sceneResources.device, device);
    IDirect3DSwapChain9* chain = nullptr;
    ASSERT_EQ(device->GetSwapChain(0, &chain), S_OK);
    D3DPRESENT_PARAMETERS shown{};
    chain->GetPresentParameters(&shown);
    chain->Release();
    EXPECT_EQ(shown.PresentationInterval, UINT(D3DPRESENT_INTERVAL_IMMEDIATE));
    D3DCAPS9 caps{};
    device->GetDeviceCaps(&caps);
    D3DDEVICE_CREATION_PARAMETERS creation{};
    device->GetCreationParameters(&creation);
    EXPECT_EQ(creation.DeviceType, D3DDEVTYPE_HAL);
    EXPECT_EQ(creation.BehaviorFlags, DWORD(caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT
                                                ? D3DCREATE_HARDWARE_VERTEXPROCESSING
                                                : D3DCREATE_SOFTWARE_VERTEXPROCESSING));
}

// The test's npc.png is 64 x 64.
TEST_F(CheckWindow, TheTextureIsManagedWithSixLevels) {
    ASSERT_NE(sceneResources.cubeTexture, nullptr);
    EXPECT_EQ(sceneResources.cubeTexture->GetLevelCount(), 6u);
    D3DSURFACE_DESC image{};
    sceneResources.cubeTexture->GetLevelDesc(0, &image);
    EXPECT_EQ(image.Width, 64u);
    EXPECT_EQ(image.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(image.Pool, D3DPOOL_MANAGED);
}

// The adapter line is cut to 59 characters.
TEST_F(CheckWindow, TheAdapterLineNamesTheDefaultAdapter) {
    IDirect3D9* direct3d = RealDirect3D();
    D3DADAPTER_IDENTIFIER9 adapter{};
    direct3d->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0, &adapter);
    direct3d->Release();
    wchar_t description[512] = {};
    MultiByteToWideChar(CP_ACP, 0, adapter.Description, -1, description, 512);
    ASSERT_NE(description[0], L'\0');
    EXPECT_EQ(checkState.adapterLine, L"当前显卡型号：" + std::wstring(description).substr(0, 52));
}

// At tick 1000 the cube has turned pi about X, then pi/2 about Y, then pi/3
// about Z; the camera stands 50 units back with a 45-degree 4:3 view.
TEST_F(CheckWindow, TheFrameTurnsTheCubeAboutXThenYThenZSeenFromFiftyUnitsAway) {
    fakeTick = 1000;
    SetFrameTransforms();
    D3DMATRIX world{};
    D3DMATRIX view{};
    D3DMATRIX projection{};
    sceneResources.device->GetTransform(D3DTS_WORLD, &world);
    sceneResources.device->GetTransform(D3DTS_VIEW, &view);
    sceneResources.device->GetTransform(D3DTS_PROJECTION, &projection);
    const float turned[3][3] = {{0, 0, -1}, {0.8660254f, -0.5f, 0}, {-0.5f, -0.8660254f, 0}};
    for (int r = 0; r < 9; ++r) EXPECT_NEAR(world.m[r / 3][r % 3], turned[r / 3][r % 3], 1e-6f) << r;
    const float fiftyBack[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 50, 1}};
    for (int r = 0; r < 16; ++r) EXPECT_EQ(view.m[r / 4][r % 4], fiftyBack[r / 4][r % 4]) << r;
    EXPECT_NEAR(projection._11, 2.4142136f * 0.75f, 1e-6f);  // 1 / tan(pi / 8)
    EXPECT_NEAR(projection._22, 2.4142136f, 1e-6f);
    EXPECT_NEAR(projection._33, 1000.0f / 999.0f, 1e-6f);
    EXPECT_NEAR(projection._43, -1000.0f / 999.0f, 1e-6f);
    EXPECT_EQ(projection._34, 1.0f);
    D3DVIEWPORT9 viewport{};
    sceneResources.device->GetViewport(&viewport);
    const D3DVIEWPORT9 whole{0, 0, 800, 600, 0.0f, 1.0f};
    EXPECT_EQ(std::memcmp(&viewport, &whole, sizeof whole), 0);
}

// The two lower rows use the larger font; each figure shares the top of the
// line beside it; every row spans the client area.
TEST_F(CheckWindow, APaintDrawsEachRowWithItsFontAtItsTopAndCountsOnlyInTheFrameRateMeters) {
    Patch(sceneResources.fonts[1], 15, NoteDrawText, realDrawText);
    textDraws.clear();
    textDraws.reserve(16);
    std::size_t allocations = allocationCount;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(allocationCount, allocations);
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
    const LONG tops[] = {0, 0, 30, 30, 60, 60, 90, 500, 550};
    ASSERT_EQ(textDraws.size(), std::size(tops));
    RECT client{};
    GetClientRect(window, &client);
    for (std::size_t i = 0; i < std::size(tops); ++i) {
        const RECT& at = textDraws[i].rect;
        EXPECT_EQ(textDraws[i].font, sceneResources.fonts[i < 7 ? 1 : 2]) << "row " << i;
        EXPECT_EQ(at.top, tops[i]) << "row " << i;
        EXPECT_EQ(at.left, 0) << "row " << i;
        EXPECT_EQ(at.right, client.right) << "row " << i;
        EXPECT_EQ(at.bottom, client.bottom) << "row " << i;
    }
    EXPECT_EQ(checkState.fpsCounter.frames, 1);
    EXPECT_EQ(checkState.fpsMovingAverage.counter.frames, 1);
    EXPECT_EQ(checkState.frameBatchAverage.frames, 0);
}

// Twice: lost in a frame, nothing drawn or counted while lost, reset by the
// next idle pass to the same picture (the managed texture kept, the states
// set again), the frame-rate meters starting their second at the recovery.
TEST_F(CheckWindow, ALostDeviceMeasuresNothingAndIsResetToTheSamePicture) {
    checkState.cpuLine = L"CPU型号: Test CPU";
    const std::vector<uint32_t> before[] = {Picture(window, 0), Picture(window, 500)};
    ASSERT_EQ(before[0].size(), 800u * 600);
    ASSERT_EQ(before[1].size(), 800u * 600);
    EXPECT_EQ(before[0][164 * 800 + 264], 0xFFC81E1Eu);  // the image's red quadrant
    EXPECT_TRUE(HasColour(before[0], 0xFF00EF88, 30, 53));
    EXPECT_TRUE(HasColour(before[0], 0xFFEB7BE6, 500, 526));
    EXPECT_NE(before[0], before[1]);  // the cube turns
    IDirect3DTexture9* texture = sceneResources.cubeTexture;
    DWORD anisotropy = 0;
    for (uint32_t loss = 1; loss <= 2; ++loss) {
        SCOPED_TRACE(testing::Message() << "loss " << loss);
        RunFrame(window);
        const FpsCounter counter = checkState.fpsCounter;
        const int32_t batchFrames = checkState.frameBatchAverage.frames;
        LoseTheDeviceInAFrame();
        fakeTick = 5000 * loss;  // late enough to close a second
        EXPECT_FALSE(RenderFrame(window));  // a paint while lost
        EXPECT_TRUE(frameState.deviceLost);
        EXPECT_EQ(checkState.fpsCounter.frames, counter.frames);
        EXPECT_EQ(checkState.fpsCounter.lastSeconds, counter.lastSeconds);
        fakeTick += 1000;
        RunFrame(window);  // asks the device, which can be reset now
        EXPECT_FALSE(frameState.deviceLost);
        EXPECT_EQ(sceneResources.device->TestCooperativeLevel(), D3D_OK);
        EXPECT_EQ(checkState.fpsCounter.lastSeconds, TickToSeconds(fakeTick));
        EXPECT_EQ(checkState.fpsCounter.frames, 0);
        sceneResources.device->GetSamplerState(0, D3DSAMP_MAXANISOTROPY, &anisotropy);
        EXPECT_EQ(sceneResources.cubeTexture, texture);
        EXPECT_EQ(anisotropy, 3u);
        EXPECT_EQ(checkState.frameBatchAverage.frames, batchFrames);
        RunFrame(window);  // presents again and enters the batch
        EXPECT_EQ(checkState.frameBatchAverage.frames, batchFrames + 1);
        EXPECT_TRUE(Picture(window, 0) == before[0]);
        EXPECT_TRUE(Picture(window, 500) == before[1]);
    }
    LoseTheDeviceInAFrame();  // then closed while lost: released as ever
    ReleaseAll();
    EXPECT_FALSE(frameState.deviceLost);
    EXPECT_TRUE(NoSceneObjects());
}

TEST_F(CheckWindow, ADeviceTheDriverGaveUpOnIsMadeAgainToTheSamePicture) {
    checkState.cpuLine = L"CPU型号: Test CPU";
    const std::vector<uint32_t> before = Picture(window, 500);
    GiveUpInAFrame(window);
    EXPECT_TRUE(frameState.deviceLost);
    fakeTick = 7000;
    RunFrame(window);
    EXPECT_FALSE(frameState.deviceLost);
    ASSERT_NE(sceneResources.device, nullptr);
    EXPECT_EQ(checkState.fpsCounter.lastSeconds, TickToSeconds(7000));
    EXPECT_TRUE(Picture(window, 500) == before);
}

TEST_F(CheckWindow, WhenNoDeviceComesAgainTheMachineFailsAndTheWindowShowsTheReport) {
    GiveUpInAFrame(window);
    withoutDirect3D = true;
    RunFrame(window);
    withoutDirect3D = false;
    EXPECT_TRUE(NoSceneObjects());
    EXPECT_TRUE(checkState.deviceMissing);
    EXPECT_FALSE(checkState.canRunGame);
    EXPECT_TRUE(GetUpdateRect(window, nullptr, FALSE));  // the report is to be painted
}

// Minimised for five passes, then restored at 9 s.
TEST_F(CheckWindow, AMinimisedWindowRunsNoFrameAndTheFiguresStartANewSecondOnRestore) {
    RunFrame(window);
    const int32_t batchFrames = checkState.frameBatchAverage.frames;
    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(window));
    for (int i = 0; i < 5; ++i) RunFrameWithAMessage(window);
    EXPECT_EQ(checkState.fpsCounter.frames, 1);
    EXPECT_EQ(checkState.frameBatchAverage.frames, batchFrames);
    ShowWindow(window, SW_RESTORE);
    fakeTick = 9000;
    RunFrame(window);
    EXPECT_EQ(checkState.fpsCounter.lastSeconds, 9.0f);
    EXPECT_EQ(checkState.fpsCounter.frames, 1);
    EXPECT_EQ(checkState.frameBatchAverage.frames, batchFrames + 1);
}

TEST_F(WithoutDevice, NothingIsMadeAndTheAdapterRowIsItsPrefixAlone) {
    EXPECT_TRUE(NoSceneObjects());
    EXPECT_STREQ(checkState.adapterLine, L"当前显卡型号：");
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
