#include "render/d3dx_win.h"

D3dxFunctions d3dx;

namespace {

constexpr wchar_t d3dxModuleName[] = L"d3dx9_43.dll";
constexpr wchar_t pathSeparator[] = L"\\";

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

// Windows Vista and 7 without update KB2533623 do not know the search flag
// and refuse it as an invalid parameter: the DLL's full path in the system
// folder is just as safe there.
HMODULE LoadFromSystemFolder() {
    HMODULE module = LoadLibraryExW(d3dxModuleName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;
    wchar_t path[MAX_PATH];
    UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + lstrlenW(pathSeparator) + lstrlenW(d3dxModuleName) >= MAX_PATH) {
        return nullptr;
    }
    lstrcatW(path, pathSeparator);
    lstrcatW(path, d3dxModuleName);
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

void LoadD3dx() {
    if (D3dxReady()) return;
    D3dxFunctions runtime;
    runtime.module = LoadFromSystemFolder();
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
