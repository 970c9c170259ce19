#include "render/d3dx_win.h"

D3dxFunctions d3dx;

namespace {

constexpr wchar_t d3dxModuleName[] = L"d3dx9_43.dll";

// Through void (*)(), the one function type a cast to any other is quiet for.
template <typename Function>
bool FindEntry(HMODULE module, const char* name, Function& entry) {
    FARPROC address = GetProcAddress(module, name);
    entry = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
    return entry != nullptr;
}

bool FindEntries(HMODULE module) {
    return FindEntry(module, "D3DXCreateFontW", d3dx.createFont) &&
           FindEntry(module, "D3DXCreateTextureFromFileExW", d3dx.createTextureFromFile) &&
           FindEntry(module, "D3DXMatrixRotationX", d3dx.matrixRotationX) &&
           FindEntry(module, "D3DXMatrixRotationY", d3dx.matrixRotationY) &&
           FindEntry(module, "D3DXMatrixRotationZ", d3dx.matrixRotationZ) &&
           FindEntry(module, "D3DXMatrixMultiply", d3dx.matrixMultiply) &&
           FindEntry(module, "D3DXMatrixLookAtLH", d3dx.matrixLookAtLH) &&
           FindEntry(module, "D3DXMatrixPerspectiveFovLH", d3dx.matrixPerspectiveFovLH);
}

}  // namespace

bool LoadD3dx() {
    if (d3dx.module) return true;
    d3dx.module = LoadLibraryW(d3dxModuleName);
    if (!d3dx.module) return false;
    if (FindEntries(d3dx.module)) return true;
    FreeD3dx();
    return false;
}

void FreeD3dx() {
    if (d3dx.module) FreeLibrary(d3dx.module);
    d3dx = D3dxFunctions{};
}
