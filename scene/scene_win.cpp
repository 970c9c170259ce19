#include "scene/scene_win.h"

#include "common/check_state.h"
#include "drawkit/texture_win.h"
#include "platform/program_folder_win.h"
#include "platform/release_win.h"
#include "scene/adapter_line.h"
#include "scene/cube.h"
#include "scene/overlay.h"

#include <algorithm>
#include <cstring>
#include <iterator>

SceneResources sceneResources;

namespace {

constexpr wchar_t textureFile[] = L"npc.png";
constexpr UINT cubeMipLevels = 6;

constexpr D3DMATERIAL9 cubeMaterial = {
    {1.0f, 1.0f, 1.0f, 1.0f},  // Diffuse
    {1.0f, 1.0f, 1.0f, 1.0f},  // Ambient
    {1.0f, 1.0f, 1.0f, 1.0f},  // Specular
    {0.0f, 0.0f, 0.0f, 0.0f},  // Emissive
    0.0f,                      // Power
};
constexpr DWORD ambientWhite = 0xFFFFFFFF;
constexpr DWORD maxAnisotropy = 3;


HRESULT CreateDevice(IDirect3D9* direct3d, HWND window) {
    D3DCAPS9 caps{};
    if (FAILED(direct3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps))) {
        return noDeviceResult;
    }
    DWORD flags = (caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT)
                      ? D3DCREATE_HARDWARE_VERTEXPROCESSING
                      : D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    D3DPRESENT_PARAMETERS parameters = PresentParameters(window);
    IDirect3DDevice9* device = nullptr;
    if (FAILED(direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, flags,
                                      &parameters, &device))) {
        return noDeviceResult;
    }
    sceneResources.device = device;
    return S_OK;
}

// A text of the identifier, in the system's ANSI code page. Each byte gives
// at most one wide character, so the buffer always holds the whole
// conversion.
template <std::size_t size>
std::wstring WideText(const char (&text)[size]) {
    wchar_t wide[size + 1] = {};
    int length = static_cast<int>(strnlen(text, size));
    int converted = MultiByteToWideChar(CP_ACP, 0, text, length, wide, static_cast<int>(size));
    return std::wstring(wide, converted > 0 ? converted : 0);
}

// What Direct3D says of the adapter measured, for the adapter row, the
// report and the diagnoses; a query refused leaves its part unknown.
void ReadMeasuredAdapter(IDirect3D9* direct3d, MeasuredAdapter& adapter) {
    adapter = MeasuredAdapter{};
    adapter.adapterCount = direct3d->GetAdapterCount();
    D3DADAPTER_IDENTIFIER9 identifier{};
    if (SUCCEEDED(direct3d->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0, &identifier))) {
        adapter.read = true;
        adapter.description = CutText(WideText(identifier.Description));
        adapter.driverFile = CutText(WideText(identifier.Driver));
        adapter.ids = {true, static_cast<uint16_t>(identifier.VendorId),
                       static_cast<uint16_t>(identifier.DeviceId)};
        adapter.subsystem = identifier.SubSysId;
        adapter.revision = identifier.Revision;
        adapter.driverVersion = static_cast<uint64_t>(identifier.DriverVersion.QuadPart);
    }
    D3DDISPLAYMODE mode{};
    if (SUCCEEDED(direct3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode))) {
        adapter.width = mode.Width;
        adapter.height = mode.Height;
        adapter.refreshRate = mode.RefreshRate;
    }
}

// Each row's face first, then the faces that stand behind it for the
// characters it lacks.
void CreateFonts(IDirect3DDevice9* device) {
    for (std::size_t index = 0; index < rowFaceCount; ++index) {
        const RowFace& row = rowFaces[index];
        const wchar_t* faces[1 + std::size(fallbackFaces)] = {row.face};
        std::copy(std::begin(fallbackFaces), std::end(fallbackFaces), faces + 1);
        sceneResources.fonts[index] =
            TextFont::Create(device, faces, std::size(faces), row.height, rowFontWeight);
    }
}

// Font 0 draws no row: without it the frame is the same.
bool RowFontsMade() {
    for (const OverlayRow& row : overlayRows) {
        if (!sceneResources.fonts[row.font]) return false;
    }
    return true;
}

template <typename Buffer>
HRESULT FillBuffer(Buffer* buffer, const void* data, UINT size) {
    void* target = nullptr;
    if (FAILED(buffer->Lock(0, 0, &target, 0))) return E_FAIL;
    std::memcpy(target, data, size);
    buffer->Unlock();
    return S_OK;
}

// A file missing or unreadable in both folders leaves the cube untextured.
void CreateCubeTexture(IDirect3DDevice9* device) {
    IDirect3DTexture9* texture = nullptr;
    OpenHereOrBesideProgram(textureFile, [device, &texture](const wchar_t* path) {
        return SUCCEEDED(CreateTextureFromImageFile(device, path, cubeMipLevels, &texture));
    });
    sceneResources.cubeTexture = texture;
}

// The cube's buffers live in D3DPOOL_DEFAULT, which a reset empties: they are
// built here at start-up and again after every reset.
HRESULT CreateCubeBuffers(IDirect3DDevice9* device) {
    IDirect3DVertexBuffer9* vertexBuffer = nullptr;
    if (FAILED(device->CreateVertexBuffer(sizeof cubeVertices, 0, cubeVertexFormat, D3DPOOL_DEFAULT,
                                          &vertexBuffer, nullptr))) {
        return E_FAIL;
    }
    sceneResources.vertexBuffer = vertexBuffer;
    IDirect3DIndexBuffer9* indexBuffer = nullptr;
    if (FAILED(device->CreateIndexBuffer(sizeof cubeIndices, 0, D3DFMT_INDEX16, D3DPOOL_DEFAULT,
                                         &indexBuffer, nullptr))) {
        return E_FAIL;
    }
    sceneResources.indexBuffer = indexBuffer;
    if (FAILED(FillBuffer(vertexBuffer, cubeVertices, sizeof cubeVertices)) ||
        FAILED(FillBuffer(indexBuffer, cubeIndices, sizeof cubeIndices))) {
        return E_FAIL;
    }
    return S_OK;
}

// A reset drops these too: set at start-up and again after every reset.
void SetFixedStates(IDirect3DDevice9* device) {
    device->SetMaterial(&cubeMaterial);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    device->SetRenderState(D3DRS_AMBIENT, ambientWhite);
    device->SetSamplerState(0, D3DSAMP_MAXANISOTROPY, maxAnisotropy);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_ANISOTROPIC);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_ANISOTROPIC);
}

}  // namespace

D3DPRESENT_PARAMETERS PresentParameters(HWND window) {
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferWidth = windowWidth;
    parameters.BackBufferHeight = windowHeight;
    parameters.BackBufferFormat = D3DFMT_A8R8G8B8;
    parameters.BackBufferCount = 2;
    parameters.MultiSampleType = D3DMULTISAMPLE_NONE;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.hDeviceWindow = window;
    parameters.Windowed = TRUE;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D24S8;
    // Never wait for the retrace: the measured frame rate is not capped.
    parameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    return parameters;
}

DeviceProblem DeviceProblemOf(HRESULT initResult) {
    if (SUCCEEDED(initResult)) return DeviceProblem::None;
    if (initResult == noDeviceResult) return DeviceProblem::NoDevice;
    if (initResult == rowFontsFailedResult) return DeviceProblem::RowFonts;
    return DeviceProblem::SceneObjects;
}

HRESULT InitDirect3D(HWND window) {
    if (sceneResources.device) return sceneFailedResult;
    BuildAdapterLine(checkState.adapterLine, L"");
    MeasuredAdapter& adapter = checkState.circumstances.graphics.adapter;
    IDirect3D9* direct3d = CreateDirect3D9();
    if (direct3d) ReadMeasuredAdapter(direct3d, adapter);
    HRESULT result = direct3d ? CreateDevice(direct3d, window) : noDeviceResult;
    if (SUCCEEDED(result)) {
        BuildAdapterLine(checkState.adapterLine, adapter.description.c_str());
        result = CreateSceneResources();
    }
    if (direct3d) direct3d->Release();
    // A device without the cube or the rows would time a cheaper frame than
    // the one the frame rule is set for, and could pass a slow machine: it
    // is let go.
    if (FAILED(result) && result != noDeviceResult) ReleaseSceneResources();
    return result;
}

HRESULT CreateSceneResources() {
    IDirect3DDevice9* device = sceneResources.device;
    if (!device) return sceneFailedResult;
    CreateFonts(device);
    if (!RowFontsMade()) return rowFontsFailedResult;
    if (FAILED(CreateCubeBuffers(device))) return sceneFailedResult;
    CreateCubeTexture(device);
    SetFixedStates(device);
    return S_OK;
}

HRESULT ResetSceneDevice() {
    IDirect3DDevice9* device = sceneResources.device;
    if (!device) return E_FAIL;
    for (TextFont* font : sceneResources.fonts) {
        if (font) font->OnLostDevice();
    }
    ReleaseObject(sceneResources.vertexBuffer);
    ReleaseObject(sceneResources.indexBuffer);
    D3DDEVICE_CREATION_PARAMETERS creation{};
    device->GetCreationParameters(&creation);
    D3DPRESENT_PARAMETERS parameters = PresentParameters(creation.hFocusWindow);
    HRESULT result = device->Reset(&parameters);
    if (FAILED(result)) return result;
    result = CreateCubeBuffers(device);
    SetFixedStates(device);
    return result;
}

void ReleaseSceneResources() {
    ReleaseObject(sceneResources.vertexBuffer);
    ReleaseObject(sceneResources.indexBuffer);
    ReleaseObject(sceneResources.cubeTexture);
    for (TextFont*& font : sceneResources.fonts) {
        delete font;
        font = nullptr;
    }
    ReleaseObject(sceneResources.device);
}
