#include "app/input_win.h"
#include "platform/system_library_win.h"

// dinput8.dll is no KnownDLL: imported, it would be looked for beside the
// program first. Without it, or without the entry, there are no devices.
HRESULT CreateDirectInput8(HINSTANCE instance, DWORD version, REFIID id, void** out,
                           IUnknown* outer) {
    static const auto create = SystemLibraryEntry<decltype(&DirectInput8Create)>(
        L"dinput8.dll", "DirectInput8Create");
    if (!create) return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    return create(instance, version, id, out, outer);
}
