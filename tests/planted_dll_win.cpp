// A DLL as a web page might drop it into a Downloads folder, built under the
// names of the DLLs a program might load from there (tests/e2e plants them
// beside the program and in its working folder). Loaded into a process, it
// writes a file named after itself into the folder TARVOQUIN_PLANTED_NOTES
// names: the proof that it ran. Its entries answer as a machine without the
// part would, so a start that loads it shows it.
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

void NoteLoaded(HINSTANCE self) {
    wchar_t path[MAX_PATH] = {};
    wchar_t folder[MAX_PATH] = {};
    DWORD pathLength = GetModuleFileNameW(self, path, MAX_PATH);
    DWORD folderLength = GetEnvironmentVariableW(L"TARVOQUIN_PLANTED_NOTES", folder, MAX_PATH);
    if (pathLength == 0 || folderLength == 0 || folderLength >= MAX_PATH) return;
    const wchar_t* slash = std::wcsrchr(path, L'\\');
    const std::wstring note = std::wstring(folder) + L"\\" + (slash ? slash + 1 : path) + L".loaded";
    CloseHandle(CreateFileW(note.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) NoteLoaded(self);
    return TRUE;
}

extern "C" {
__declspec(dllexport) void* WINAPI Direct3DCreate9(UINT) { return nullptr; }
__declspec(dllexport) HRESULT WINAPI DirectInput8Create(HINSTANCE, DWORD, const GUID&, void**,
                                                        void*) {
    return E_FAIL;
}
__declspec(dllexport) DWORD WINAPI timeGetTime() { return GetTickCount(); }
}
