#include "platform/program_folder_win.h"

#include <windows.h>

#include <vector>

namespace {
// Long paths may exceed MAX_PATH: the buffer grows until the path fits.
constexpr DWORD longestPath = 32768;
}  // namespace

std::wstring ProgramFolderFile(const wchar_t* name) {
    std::vector<wchar_t> path(MAX_PATH);
    DWORD length = 0;
    for (;;) {
        length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size() || path.size() >= longestPath) break;
        path.resize(path.size() * 2);
    }
    std::wstring file(path.data(), length);
    std::size_t folderEnd = file.find_last_of(L"\\/");
    if (folderEnd == std::wstring::npos) return {};
    file.resize(folderEnd + 1);
    return file + name;
}
