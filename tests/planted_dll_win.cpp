// A DLL as a web page might drop it into a Downloads folder, built under the
// name of a DLL a program might load from there. Loaded into a process, it
// writes a file named after itself, holding its path, into the folder
// TARVOQUIN_PLANTED_NOTES names: the proof that it ran.
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
    HANDLE file = CreateFileW(note.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, path, pathLength * sizeof(wchar_t), &written, nullptr);
    CloseHandle(file);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) NoteLoaded(self);
    return TRUE;
}
