#include "render/d3dx_win.h"
#include "common/system_library_win.h"

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

bool FindEntries(HMODULE module, D3dxFunctions& functions) {
    return FindEntry(module, "D3DXCreateFontW", functions.createFont) &&
           FindEntry(module, "D3DXCreateTextureFromFileExW", functions.createTextureFromFile) &&
           FindEntry(module, "D3DXMatrixRotationX", functions.matrixRotationX) &&
           FindEntry(module, "D3DXMatrixRotationY", functions.matrixRotationY) &&
           FindEntry(module, "D3DXMatrixRotationZ", functions.matrixRotationZ) &&
           FindEntry(module, "D3DXMatrixMultiply", functions.matrixMultiply) &&
           FindEntry(module, "D3DXMatrixLookAtLH", functions.matrixLookAtLH) &&
           FindEntry(module, "D3DXMatrixPerspectiveFovLH", functions.matrixPerspectiveFovLH);
}

}  // namespace

void LoadD3dx() {
    if (D3dxReady()) return;
    D3dxFunctions runtime;
    runtime.module = LoadSystemLibrary(d3dxModuleName);
    if (runtime.module && FindEntries(runtime.module, runtime)) {
        d3dx = runtime;
        return;
    }
    if (runtime.module) FreeLibrary(runtime.module);
    d3dx = D3dxStandIns();
}

bool D3dxReady() { return d3dx.createFont != nullptr; }

void FreeD3dx() {
    if (d3dx.module) FreeLibrary(d3dx.module);
    d3dx = D3dxFunctions{};
}
