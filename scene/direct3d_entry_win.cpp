#include "platform/system_library_win.h"
#include "scene/scene_win.h"

// d3d9.dll is no KnownDLL: imported, it would be looked for beside the
// program first. Without it, or without the entry, there is no device.
IDirect3D9* CreateDirect3D9() {
    static const auto create =
        SystemLibraryEntry<decltype(&Direct3DCreate9)>(L"d3d9.dll", "Direct3DCreate9");
    return create ? create(D3D_SDK_VERSION) : nullptr;
}
