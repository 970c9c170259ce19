#include "frame/frame_win.h"

#include "common/check_state.h"
#include "common/clock.h"
#include "render/cube.h"
#include "render/matrix.h"
#include "render/overlay.h"
#include "render/scene_win.h"

#include <cstring>

static_assert(overlayTextRight == DT_RIGHT, "the row formats are DrawText's");
static_assert(overlayTextLeft == (DT_LEFT | DT_TOP), "the row formats are DrawText's");
static_assert(overlayTextSingleLine == (DT_SINGLELINE | DT_NOCLIP),
              "the row formats are DrawText's");
static_assert(cubeVertexFormat == (D3DFVF_XYZ | D3DFVF_TEX1), "the cube's vertex format");
static_assert(deviceResultOk == D3D_OK, "the device's results are Direct3D's");
static_assert(deviceResultLost == D3DERR_DEVICELOST, "the device's results are Direct3D's");
static_assert(deviceResultNotReset == D3DERR_DEVICENOTRESET, "the device's results are Direct3D's");
static_assert(sizeof(Matrix4) == sizeof(D3DMATRIX), "the matrices are laid out as Direct3D's");

namespace {

constexpr Vector3 cameraEye = {0.0f, 0.0f, -50.0f};
constexpr Vector3 cameraTarget = {0.0f, 0.0f, 0.0f};
constexpr Vector3 cameraUp = {0.0f, 1.0f, 0.0f};
constexpr float fieldOfView = 0.7853982f;
constexpr float aspectRatio = 1.3333334f;
constexpr float nearPlane = 1.0f;
constexpr float farPlane = 1000.0f;
constexpr D3DVIEWPORT9 frameViewport = {0, 0, backBufferWidth, backBufferHeight, 0.0f, 1.0f};

constexpr DWORD clearFlags = D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER;

// Between two passes over a lost device: long enough not to keep a core
// busy, and a message ends the wait at once.
constexpr DWORD lostDeviceWaitMilliseconds = 50;

// The window whose client area lays out the frame's rows.
HWND frameWindow = nullptr;
RECT rowArea{};

// Formatted in place every frame: the frame path allocates nothing.
OverlayTexts overlayTexts;

void SetTransform(IDirect3DDevice9* device, D3DTRANSFORMSTATETYPE state, const Matrix4& matrix) {
    D3DMATRIX laidOut;
    std::memcpy(&laidOut, &matrix, sizeof laidOut);
    device->SetTransform(state, &laidOut);
}

void SetWorldTransform(IDirect3DDevice9* device) {
    const Matrix4 rotationX = MatrixRotationX(CubeAngleX(TickMilliseconds()));
    const Matrix4 rotationY = MatrixRotationY(CubeAngleY(TickMilliseconds()));
    const Matrix4 rotationZ = MatrixRotationZ(CubeAngleZ(TickMilliseconds()));
    SetTransform(device, D3DTS_WORLD,
                 MatrixMultiply(MatrixMultiply(rotationX, rotationY), rotationZ));
}

void BeginScene() {
    IDirect3DDevice9* device = sceneResources.device;
    if (device) device->Clear(0, nullptr, clearFlags, backgroundColour, 1.0f, 0);
    rowArea = RECT{};
    GetClientRect(frameWindow, &rowArea);
    if (device) device->BeginScene();
}

void DrawCube() {
    IDirect3DDevice9* device = sceneResources.device;
    if (!device || !sceneResources.vertexBuffer || !sceneResources.indexBuffer) return;
    device->SetStreamSource(0, sceneResources.vertexBuffer, 0, cubeVertexStride);
    device->SetFVF(cubeVertexFormat);
    device->SetIndices(sceneResources.indexBuffer);
    // A null texture unbinds the stage: the cube is drawn untextured.
    device->SetTexture(0, sceneResources.cubeTexture);
    device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, cubeVertexCount, 0, cubeTriangleCount);
}

void DrawRows(std::size_t first, std::size_t end) {
    RECT rect = rowArea;
    for (std::size_t i = first; i < end; ++i) {
        const OverlayRow& row = overlayRows[i];
        OverlayDraw draw = PrepareOverlayRow(row, overlayTexts, checkState);
        ID3DXFont* font = sceneResources.fonts[row.font];
        if (!font) continue;
        rect.top = row.top;
        font->DrawTextW(nullptr, draw.text, -1, &rect, row.format, draw.colour);
    }
}

void DrawRowsToCpuFigure() { DrawRows(0, fpsmaRow); }

void DrawRowsFromFpsma(float movingAverage) {
    overlayTexts.movingAverage = movingAverage;
    DrawRows(fpsmaRow, overlayRowCount);
}

void EndScene() {
    IDirect3DDevice9* device = sceneResources.device;
    if (device) device->EndScene();
}

HResult Present() {
    IDirect3DDevice9* device = sceneResources.device;
    return device ? device->Present(nullptr, nullptr, nullptr, nullptr) : D3D_OK;
}

HResult TestCooperativeLevel() {
    IDirect3DDevice9* device = sceneResources.device;
    return device ? device->TestCooperativeLevel() : D3DERR_DEVICELOST;
}

HResult ResetDevice() { return ResetSceneDevice(); }

HResult RecreateDevice() { return RecreateSceneDevice(frameWindow); }

bool WindowMinimised() { return IsIconic(frameWindow) != FALSE; }

void WaitForMessage() { WaitMessage(); }

void WaitBriefly() {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, lostDeviceWaitMilliseconds, QS_ALLINPUT);
}

constexpr FrameSteps Direct3DFrameSteps() {
    FrameSteps steps{};
    steps.windowMinimised = WindowMinimised;
    steps.setTransforms = SetFrameTransforms;
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
    return steps;
}

}  // namespace

const FrameSteps direct3DFrameSteps = Direct3DFrameSteps();

void SetFrameTransforms() {
    IDirect3DDevice9* device = sceneResources.device;
    if (!device) return;
    SetWorldTransform(device);
    SetTransform(device, D3DTS_VIEW, MatrixLookAtLH(cameraEye, cameraTarget, cameraUp));
    SetTransform(device, D3DTS_PROJECTION,
                 MatrixPerspectiveFovLH(fieldOfView, aspectRatio, nearPlane, farPlane));
    device->SetViewport(&frameViewport);
}

bool RenderFrame(HWND window) {
    frameWindow = window;
    return RenderFrame(frameState, checkState, direct3DFrameSteps);
}

void RunFrame(HWND window) {
    frameWindow = window;
    RunFrame(frameState, checkState, direct3DFrameSteps);
}
