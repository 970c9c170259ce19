#define CINTERFACE
#include "device_fault_win.h"

#include <windows.h>
#include <d3d9.h>

namespace {

using CreateVertexBuffer = decltype(IDirect3DDevice9Vtbl::CreateVertexBuffer);
using GetDeviceCaps = decltype(IDirect3DDevice9Vtbl::GetDeviceCaps);
IDirect3DDevice9Vtbl* methods = nullptr;
CreateVertexBuffer platformCreate = nullptr;
GetDeviceCaps platformCaps = nullptr;

HRESULT STDMETHODCALLTYPE Refuse(IDirect3DDevice9*, UINT, DWORD, DWORD, D3DPOOL,
                                 IDirect3DVertexBuffer9**, HANDLE*) {
    return D3DERR_OUTOFVIDEOMEMORY;
}

HRESULT STDMETHODCALLTYPE NoTextureSize(IDirect3DDevice9* device, D3DCAPS9* caps) {
    HRESULT result = platformCaps(device, caps);
    caps->MaxTextureWidth = 0;
    caps->MaxTextureHeight = 0;
    return result;
}

template <typename Method>
void Write(Method& slot, Method method) {
    DWORD protection = 0;
    VirtualProtect(&slot, sizeof slot, PAGE_READWRITE, &protection);
    slot = method;
    VirtualProtect(&slot, sizeof slot, protection, &protection);
}

IDirect3DDevice9Vtbl* MethodsOf(void* device) {
    return const_cast<IDirect3DDevice9Vtbl*>(static_cast<IDirect3DDevice9*>(device)->lpVtbl);
}

// Puts method in the slot, keeping the platform's.
template <typename Method>
void Plant(void* device, Method IDirect3DDevice9Vtbl::*slot, Method method, Method& platform) {
    if (platform) return;
    methods = MethodsOf(device);
    platform = methods->*slot;
    Write(methods->*slot, method);
}

template <typename Method>
void TakeBack(Method IDirect3DDevice9Vtbl::*slot, Method& platform) {
    if (!platform) return;
    Write(methods->*slot, platform);
    platform = nullptr;
}

}  // namespace

void RefuseVertexBuffers(void* device) {
    Plant(device, &IDirect3DDevice9Vtbl::CreateVertexBuffer, &Refuse, platformCreate);
}
void AllowVertexBuffers() { TakeBack(&IDirect3DDevice9Vtbl::CreateVertexBuffer, platformCreate); }

void TellNoTextureSize(void* device) {
    Plant(device, &IDirect3DDevice9Vtbl::GetDeviceCaps, &NoTextureSize, platformCaps);
}
void TellTextureSizes() { TakeBack(&IDirect3DDevice9Vtbl::GetDeviceCaps, platformCaps); }
