#pragma once

#include <windows.h>

// Every later DLL search of the process, the platform's own loads on its
// behalf included, goes to the system folder alone. The first call of the
// program. A Windows 7 without update KB2533623 lacks the setting: the
// program then goes on without it.
void SearchDllsInSystemFolderOnly();

// The named DLL from the system folder only (never the program's folder or
// the working folder, where a file of that name may have been dropped);
// null when it is not there.
HMODULE LoadSystemLibrary(const wchar_t* name);

// An address from GetProcAddress as the function it is; null stays null.
template <typename Function>
Function EntryAs(FARPROC address) {
    // Through void (*)(), the one function type a cast to any other is quiet for.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

// The named entry of the named DLL of the system folder, as Function; null
// when either is missing. The DLL stays loaded to the end of the process.
template <typename Function>
Function SystemLibraryEntry(const wchar_t* library, const char* entry) {
    HMODULE module = LoadSystemLibrary(library);
    return EntryAs<Function>(module ? GetProcAddress(module, entry) : nullptr);
}
