#include "frame/frame_win.h"

#include "common/check_state.h"
#include "common/verdict.h"
#include "drawkit/matrix.h"
#include "platform/clock.h"
#include "scene/camera.h"
#include "scene/cube.h"
#include "scene/overlay.h"
#include "scene/scene_win.h"

#include <cstring>

static_assert(cubeVertexFormat == (D3DFVF_XYZ | D3DFVF_TEX1), "the cube's vertex format");
static_assert(deviceResultOk == D3D_OK, "the device's results are Direct3D's");
static_assert(deviceResultLost == D3DERR_DEVICELOST, "the device's results are Direct3D's");
static_assert(deviceResultNotReset == D3DERR_DEVICENOTRESET, "the device's results are Direct3D's");
static_assert(deviceResultInvalidCall == D3DERR_INVALIDCALL, "the device's results are Direct3D's");
static_assert(sizeof(Matrix4) == sizeof(D3DMATRIX), "the matrices are laid out as Direct3D's");

FrameState frameState;

namespace {

constexpr D3DVIEWPORT9 frameViewport = {0, 0, windowWidth, windowHeight, 0.0f, 1.0f};

constexpr DWORD clearFlags = D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER;

// Between two passes over a lost device: long enough not to keep a core
// busy, and a message ends the wait at once.
constexpr DWORD lostDeviceWaitMilliseconds = 50;

uint64_t Ticks(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

DeviceFrame& FrameOf(void* context) { return *static_cast<DeviceFrame*>(context); }

void SetTransform(IDirect3DDevice9* device, D3DTRANSFORMSTATETYPE state, const Matrix4& matrix) {
    D3DMATRIX laidOut;
    std::memcpy(&laidOut, &matrix, sizeof laidOut);
    device->SetTransform(state, &laidOut);
}

void SetTransforms(void*) { SetFrameTransforms(); }

void BeginScene(void* context) {
    DeviceFrame& frame = FrameOf(context);
    IDirect3DDevice9* device = sceneResources.device;
    if (device) device->Clear(0, nullptr, clearFlags, backgroundColour, 1.0f, 0);
    frame.rowArea = RECT{};
    GetClientRect(frame.window, &frame.rowArea);
    if (device) device->BeginScene();
}

void DrawCube(void*) {
    IDirect3DDevice9* device = sceneResources.device;
    if (!device || !sceneResources.vertexBuffer || !sceneResources.indexBuffer) return;
    device->SetStreamSource(0, sceneResources.vertexBuffer, 0, cubeVertexStride);
    device->SetFVF(cubeVertexFormat);
    device->SetIndices(sceneResources.indexBuffer);
    // A null texture unbinds the stage: the cube is drawn untextured.
    device->SetTexture(0, sceneResources.cubeTexture);
    device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, cubeVertexCount, 0, cubeTriangleCount);
}

void DrawRows(DeviceFrame& frame, std::size_t first, std::size_t end) {
    RECT rect = frame.rowArea;
    for (std::size_t i = first; i < end; ++i) {
        const OverlayRow& row = overlayRows[i];
        OverlayDraw draw = PrepareOverlayRow(row, frame.texts, checkState);
        TextFont* font = sceneResources.fonts[row.font];
        if (!font) continue;
        rect.top = row.top;
        font->Draw(draw.text, rect, row.format, draw.colour);
    }
}

void DrawRowsToCpuFigure(void* context) { DrawRows(FrameOf(context), 0, fpsmaRow); }

void DrawRowsFromFpsma(void* context, float movingAverage) {
    DeviceFrame& frame = FrameOf(context);
    frame.texts.movingAverage = movingAverage;
    DrawRows(frame, fpsmaRow, overlayRowCount);
}

void EndScene(void*) {
    IDirect3DDevice9* device = sceneResources.device;
    if (device) device->EndScene();
}

HResult Present(void*) {
    IDirect3DDevice9* device = sceneResources.device;
    // Without a device nothing reached the screen.
    return device ? device->Present(nullptr, nullptr, nullptr, nullptr) : deviceResultInvalidCall;
}

HResult TestCooperativeLevel(void*) {
    IDirect3DDevice9* device = sceneResources.device;
    return device ? device->TestCooperativeLevel() : D3DERR_DEVICELOST;
}

HResult ResetDevice(void*) { return ResetSceneDevice(); }

// Everything released and made again as at start-up. When no device comes
// (InitDirect3D then leaves nothing made), the window is invalidated, to
// show the report instead.
HResult RecreateDevice(void* context) {
    HWND window = FrameOf(context).window;
    ReleaseSceneResources();
    const HRESULT result = InitDirect3DAndJudge(window);
    if (SUCCEEDED(result)) return S_OK;
    InvalidateRect(window, nullptr, TRUE);
    return result;
}

bool WindowMinimised(void* context) { return IsIconic(FrameOf(context).window) != FALSE; }

void WaitForMessage(void*) { WaitMessage(); }

void WaitBriefly(void*) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, lostDeviceWaitMilliseconds, QS_ALLINPUT);
}

constexpr FrameSteps Direct3DFrameSteps() {
    FrameSteps steps{};
    steps.windowMinimised = WindowMinimised;
    steps.setTransforms = SetTransforms;
    steps.beginScene = BeginScene;
    steps.drawCube = DrawCube;
    steps.drawRowsToCpuFigure = DrawRowsToCpuFigure;
    steps.drawRowsFromFpsma = DrawRowsFromFpsma;
    steps.endScene = EndScene;
    steps.present = Present;
    steps.testCooperativeLevel = TestCooperativeLevel;
    steps.resetDevice = ResetDevice;
    steps.recreateDevice = RecreateDevice;
    steps.waitBriefly = WaitBriefly;
    steps.waitForMessage = WaitForMessage;
    steps.tickSeconds = TickSeconds;
    steps.performanceCounter = PerformanceCounter;
    steps.performanceFrequency = PerformanceFrequency;
    steps.processorTimes = ReadProcessorTimes;
    return steps;
}

constexpr FrameSteps direct3DFrameSteps = Direct3DFrameSteps();

}  // namespace

ProcessorTimes ReadProcessorTimes() {
    ProcessorTimes times;
    FILETIME idle{}, kernel{}, user{}, created{}, exited{}, ownKernel{}, ownUser{};
    if (GetSystemTimes(&idle, &kernel, &user)) {
        times.idle = Ticks(idle);
        times.kernel = Ticks(kernel);
        times.user = Ticks(user);
    }
    if (GetProcessTimes(GetCurrentProcess(), &created, &exited, &ownKernel, &ownUser)) {
        times.process = Ticks(ownKernel) + Ticks(ownUser);
    }
    return times;
}

FrameSteps DeviceFrameSteps(DeviceFrame& frame) {
    FrameSteps steps = direct3DFrameSteps;
    steps.context = &frame;
    return steps;
}

HRESULT InitDirect3DAndJudge(HWND window) {
    const HRESULT result = InitDirect3D(window);
    RecordRule(checkState, Rule::Device, static_cast<double>(DeviceProblemOf(result)));
    return result;
}
void SetFrameTransforms() {
    IDirect3DDevice9* device = sceneResources.device;
    if (!device) return;
    SetTransform(device, D3DTS_WORLD, CubeWorld(TickMilliseconds()));
    SetTransform(device, D3DTS_VIEW, CameraView());
    SetTransform(device, D3DTS_PROJECTION, CameraProjection());
    device->SetViewport(&frameViewport);
}

bool RenderFrame(HWND window) {
    DeviceFrame frame;
    frame.window = window;
    return PaintFrame(frameState, checkState, DeviceFrameSteps(frame));
}

void RunFrame(HWND window) {
    DeviceFrame frame;
    frame.window = window;
    TimeFrame(frameState, checkState, DeviceFrameSteps(frame));
}
