#include "platform/system_library_win.h"

namespace {

constexpr wchar_t pathSeparator[] = L"\\";

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

}  // namespace

void SearchDllsInSystemFolderOnly() {
    // Looked up, not imported: the exe must still start where it is missing.
    auto setDirectories = EntryAs<SetDefaultDllDirectoriesFunction>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories"));
    if (setDirectories) setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// Windows Vista and 7 without update KB2533623 do not know the search flag
// and refuse it as an invalid parameter: the DLL's full path in the system
// folder is just as safe there.
HMODULE LoadSystemLibrary(const wchar_t* name) {
    HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;
    wchar_t path[MAX_PATH];
    UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + lstrlenW(pathSeparator) + lstrlenW(name) >= MAX_PATH) {
        return nullptr;
    }
    lstrcatW(path, pathSeparator);
    lstrcatW(path, name);
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
