// What Windows reads from the program file without running it: the version
// resource, the icon resource, the manifest, and the two exported values a
// hybrid-graphics driver reads to put the program on the discrete GPU.
//   release_check_win PROGRAM.EXE ROOT.ICO
// Prints each mismatch; exits 1 on any.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const std::wstring version = std::to_wstring(TARVOQUIN_VERSION_MAJOR) + L"." +
                             std::to_wstring(TARVOQUIN_VERSION_MINOR) + L"." +
                             std::to_wstring(TARVOQUIN_VERSION_PATCH);

struct VersionString {
    const wchar_t* name;
    std::wstring expected;
};
const VersionString versionStrings[] = {
    {L"ProductName", L"Tarvoquin配置检测"},
    {L"FileDescription", L"【Tarvoquin】配置检测"},
    {L"FileVersion", version},
    {L"ProductVersion", version},
    {L"OriginalFilename", L"TarvoquinCheck.exe"},
};

int failures = 0;

void Expect(bool holds, const std::wstring& what) {
    if (holds) return;
    ++failures;
    std::fwprintf(stderr, L"FAIL %ls\n", what.c_str());
}

void CheckVersion(const wchar_t* program) {
    std::vector<char> data(GetFileVersionInfoSizeW(program, nullptr));
    Expect(!data.empty() && GetFileVersionInfoW(program, 0, data.size(), data.data()),
           L"no version resource");
    if (data.empty()) return;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    Expect(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) &&
               fixed->dwSignature == VS_FFI_SIGNATURE,
           L"no fixed file information");
    if (!fixed) return;
    const DWORD high = MAKELONG(TARVOQUIN_VERSION_MINOR, TARVOQUIN_VERSION_MAJOR);
    const DWORD low = MAKELONG(0, TARVOQUIN_VERSION_PATCH);
    Expect(fixed->dwFileVersionMS == high && fixed->dwFileVersionLS == low &&
               fixed->dwProductVersionMS == high && fixed->dwProductVersionLS == low,
           L"fixed file and product version are not " + version);
    Expect(fixed->dwFileType == VFT_APP, L"file type is not an application");

    WORD* translation = nullptr;
    Expect(VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                          reinterpret_cast<void**>(&translation), &length) &&
               length == 4 && translation[0] == 0x0804 && translation[1] == 1200,
           L"translation is not Chinese (PRC), Unicode");
    for (const VersionString& entry : versionStrings) {
        wchar_t* text = nullptr;
        std::wstring key = std::wstring(L"\\StringFileInfo\\080404b0\\") + entry.name;
        bool found = VerQueryValueW(data.data(), key.c_str(), reinterpret_cast<void**>(&text),
                                    &length);
        Expect(found && entry.expected == text,
               std::wstring(entry.name) + L" is \"" + (found ? text : L"") + L"\", not \"" +
                   entry.expected + L"\"");
    }
}

std::string ResourceBytes(HMODULE module, const wchar_t* name, const wchar_t* type) {
    HRSRC found = FindResourceW(module, name, type);
    if (!found) return {};
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
    return std::string(bytes, SizeofResource(module, found));
}

template <typename T>
T Read(const std::string& bytes, size_t offset) {
    T value{};
    if (offset + sizeof(T) <= bytes.size()) memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

// The icon group lists the same images as root.ico, each with the same bytes
// (an .ico entry is 16 bytes ending in the image's offset, a group entry 14
// ending in the image's resource id).
void CheckIcon(const wchar_t* program, HMODULE module, const wchar_t* iconFile) {
    Expect(ExtractIconExW(program, -1, nullptr, nullptr, 0) == 1, L"not exactly one icon");
    std::ifstream file(iconFile, std::ios::binary);
    const std::string ico{std::istreambuf_iterator<char>(file), {}};
    const std::string group = ResourceBytes(module, MAKEINTRESOURCEW(1), RT_GROUP_ICON);
    const WORD count = Read<WORD>(ico, 4);
    Expect(count > 0 && Read<WORD>(group, 4) == count, L"icon group and root.ico differ in images");
    for (WORD i = 0; i < count && i * 14u + 20 <= group.size(); ++i) {
        const DWORD size = Read<DWORD>(ico, 6 + i * 16 + 8);
        const DWORD offset = Read<DWORD>(ico, 6 + i * 16 + 12);
        const WORD id = Read<WORD>(group, 6 + i * 14 + 12);
        const std::string image = offset < ico.size() ? ico.substr(offset, size) : "";
        Expect(!image.empty() && ResourceBytes(module, MAKEINTRESOURCEW(id), RT_ICON) == image,
               L"icon image " + std::to_wstring(i) + L" differs from root.ico");
    }
}

BOOL CALLBACK CountName(HMODULE, LPCWSTR, LPWSTR, LONG_PTR count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

void CheckManifest(HMODULE module) {
    int manifests = 0;
    EnumResourceNamesW(module, RT_MANIFEST, CountName, reinterpret_cast<LONG_PTR>(&manifests));
    const std::string manifest =
        ResourceBytes(module, CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
    Expect(manifests == 1, L"not exactly one manifest");
    Expect(manifest.find("<requestedExecutionLevel level=\"asInvoker\"") != std::string::npos,
           L"the manifest does not ask to run as the invoker");
    // A supported-OS entry would change what the version test is told.
    Expect(manifest.find("compatibility") == std::string::npos &&
               manifest.find("supportedOS") == std::string::npos,
           L"the manifest declares supported systems");
}

// The program mapped as an image (its imports not bound, nothing run), as
// the drivers read it.
void CheckGraphicsPreference(const wchar_t* program) {
    HMODULE image = LoadLibraryExW(program, nullptr, DONT_RESOLVE_DLL_REFERENCES);
    Expect(image != nullptr, L"the program cannot be mapped as an image");
    if (!image) return;
    for (const char* name : {"NvOptimusEnablement", "AmdPowerXpressRequestHighPerformance"}) {
        const auto* value = reinterpret_cast<const DWORD*>(GetProcAddress(image, name));
        Expect(value && *value == 1, L"no export of 1 named " + std::wstring(name, name + strlen(name)));
    }
    FreeLibrary(image);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return std::fwprintf(stderr, L"usage: release_check_win PROGRAM.EXE ROOT.ICO\n"), 2;
    CheckVersion(argv[1]);
    CheckGraphicsPreference(argv[1]);
    HMODULE module =
        LoadLibraryExW(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    Expect(module != nullptr, L"the program cannot be opened for its resources");
    if (module) {
        CheckIcon(argv[1], module, argv[2]);
        CheckManifest(module);
        FreeLibrary(module);
    }
    std::fwprintf(stderr, L"release_check_win: %d problems in %ls\n", failures, argv[1]);
    return failures ? 1 : 0;
}
