#pragma once

#include <windows.h>
#include <d3d9.h>

#include "common/check_state.h"
#include "drawkit/text_font_win.h"
#include "scene/overlay.h"

// The Direct3D objects of the scene; each is null until created and null
// again once released.
struct SceneResources {
    IDirect3DDevice9* device = nullptr;
    TextFont* fonts[rowFaceCount] = {};
    IDirect3DVertexBuffer9* vertexBuffer = nullptr;
    IDirect3DIndexBuffer9* indexBuffer = nullptr;
    IDirect3DTexture9* cubeTexture = nullptr;
};

extern SceneResources sceneResources;

// Direct3DCreate9 of the system folder's d3d9.dll (scene/direct3d_entry_win.cpp,
// a file of its own so that a test program can link its own in its place);
// null when the DLL or the entry is missing, as on a machine without
// Direct3D 9.
IDirect3D9* CreateDirect3D9();

// InitDirect3D's failures: no Direct3D 9 device on this machine, the cube's
// objects that could not be made, or the fonts the rows are drawn in.
constexpr HRESULT noDeviceResult = D3DERR_NOTAVAILABLE;
constexpr HRESULT sceneFailedResult = E_FAIL;
constexpr HRESULT rowFontsFailedResult = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0201);

// Makes the whole scene: reads what Direct3D says
// of the adapter measured and of the display into
// checkState.circumstances.graphics.adapter (whether or not a device comes),
// creates the device for window, builds checkState.adapterLine and makes the
// scene objects. S_OK, or one of the failures above: without a device the
// adapter line is its prefix alone; when the scene objects cannot be made
// everything made is released again (the adapter line stays): a frame
// without the cube or the rows is cheaper than the one the frame rule is
// set for. Fails with sceneFailedResult without touching anything while a
// device already exists. Judges nothing: the caller records the device rule
// from the result (DeviceProblemOf).
HRESULT InitDirect3D(HWND window);

// The device's presentation parameters for window: an 800 x 600 back
// buffer presented without waiting for the retrace.
D3DPRESENT_PARAMETERS PresentParameters(HWND window);

// What InitDirect3D's result says of the machine's device.
DeviceProblem DeviceProblemOf(HRESULT initResult);

// The fonts, the cube's buffers, its texture, the material and the fixed
// states; called by InitDirect3D once the device exists. S_OK,
// rowFontsFailedResult or sceneFailedResult.
HRESULT CreateSceneResources();

// Brings a lost device back: the fonts let go of their device objects, the
// cube's buffers are released (Reset refuses while one of D3DPOOL_DEFAULT is
// alive), the device is reset with the presentation parameters it was created
// with, then the buffers are built and filled again and the material and
// fixed states are set again (the fonts record theirs at their next draw). The managed
// texture survives. S_OK, or the first failure (the device stays lost; the
// next call starts over).
HRESULT ResetSceneDevice();

// Releases vertexBuffer, indexBuffer, cubeTexture, fonts 0 to 2 and device,
// each only if present, clearing each pointer. Safe to call again.
void ReleaseSceneResources();
