#define CINTERFACE
#include "device_fault_win.h"

#include <windows.h>
#include <d3d9.h>

namespace {

using CreateVertexBuffer = decltype(IDirect3DDevice9Vtbl::CreateVertexBuffer);
IDirect3DDevice9Vtbl* patched = nullptr;
CreateVertexBuffer platformCreate = nullptr;

HRESULT STDMETHODCALLTYPE Refuse(IDirect3DDevice9*, UINT, DWORD, DWORD, D3DPOOL,
                                 IDirect3DVertexBuffer9**, HANDLE*) {
    return D3DERR_OUTOFVIDEOMEMORY;
}

void Write(CreateVertexBuffer& slot, CreateVertexBuffer method) {
    DWORD protection = 0;
    VirtualProtect(&slot, sizeof slot, PAGE_READWRITE, &protection);
    slot = method;
    VirtualProtect(&slot, sizeof slot, protection, &protection);
}

}  // namespace

void RefuseVertexBuffers(void* device) {
    if (patched) return;
    patched = const_cast<IDirect3DDevice9Vtbl*>(static_cast<IDirect3DDevice9*>(device)->lpVtbl);
    platformCreate = patched->CreateVertexBuffer;
    Write(patched->CreateVertexBuffer, Refuse);
}

void AllowVertexBuffers() {
    if (!patched) return;
    Write(patched->CreateVertexBuffer, platformCreate);
    patched = nullptr;
}
