#include "app/input_win.h"
#include "platform/clock.h"
#include "platform/system_library_win.h"
#include "scene/scene_win.h"

#include <gtest/gtest.h>

// Built from tests/planted_dll_win.cpp, beside this program (its working
// folder too); no system folder has a DLL of that name.
constexpr wchar_t plantedName[] = L"tarvoquin_planted.dll";

TEST(SystemLibrary, NeverLoadsADllBesideTheProgram) {
    EXPECT_EQ(LoadSystemLibrary(plantedName), nullptr);
}

// The entry found at run time, as the program calls it (Direct3D's is the
// one every test that makes a device calls).
TEST(SystemLibrary, GivesTheProgramDirectInput) {
    IDirectInput8W* input = nullptr;
    EXPECT_EQ(CreateDirectInput8(GetModuleHandleW(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8W,
                                 reinterpret_cast<void**>(&input), nullptr),
              S_OK);
    ASSERT_NE(input, nullptr);
    input->Release();
}

// Run with d3d9, dinput8 and winmm switched off (tests/windows.cmake): a
// machine without the three.
TEST(WithoutTheDlls, Direct3DCountsAsNoDevice) { EXPECT_EQ(CreateDirect3D9(), nullptr); }

TEST(WithoutTheDlls, DirectInputFailsLeavingNoInterface) {
    IDirectInput8W* input = nullptr;
    EXPECT_TRUE(FAILED(CreateDirectInput8(GetModuleHandleW(nullptr), DIRECTINPUT_VERSION,
                                          IID_IDirectInput8W, reinterpret_cast<void**>(&input),
                                          nullptr)));
    EXPECT_EQ(input, nullptr);
}

// GetTickCount takes timeGetTime's place.
TEST(WithoutTheDlls, TheTickStillCountsMilliseconds) {
    uint32_t before = TickMilliseconds();
    Sleep(200);
    EXPECT_GE(TickMilliseconds() - before, 150u);
}

// Last: it changes the search of the whole process. Found before it by the
// platform's usual search, the DLL beside the program is not found after it.
TEST(SystemLibrary, AfterTheStartEvenAPlainLoadSearchesOnlyTheSystemFolder) {
    HMODULE before = LoadLibraryW(plantedName);
    EXPECT_NE(before, nullptr);
    if (before) FreeLibrary(before);
    SearchDllsInSystemFolderOnly();
    EXPECT_EQ(LoadLibraryW(plantedName), nullptr);
}
