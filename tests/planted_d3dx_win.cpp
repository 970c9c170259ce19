// A "d3dx9_43.dll" beside the Windows tests, as one might lie in a Downloads
// folder: the program must never load one. Loaded, it leaves a marker file in
// the working folder for the test to find.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    HANDLE marker = CreateFileW(L"planted_d3dx9_43.loaded", GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
    return TRUE;
}
