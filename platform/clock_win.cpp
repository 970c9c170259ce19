#include "platform/clock.h"
#include "platform/system_library_win.h"

#include <windows.h>

namespace {

using TickFunction = DWORD(WINAPI*)();

// timeGetTime from the system folder's winmm.dll, which is no KnownDLL: an
// import would be looked for beside the program first. Without it,
// GetTickCount counts the same milliseconds since start-up and wraps alike.
TickFunction FindTick() {
    TickFunction tick = SystemLibraryEntry<TickFunction>(L"winmm.dll", "timeGetTime");
    return tick ? tick : &GetTickCount;
}

}  // namespace

// Found once, at the first reading (after start-up has restricted the DLL
// search): the tick is read several times in every frame.
uint32_t TickMilliseconds() {
    static const TickFunction tick = FindTick();
    return tick();
}

int64_t PerformanceCounter() {
    LARGE_INTEGER value{};
    QueryPerformanceCounter(&value);
    return value.QuadPart;
}

int64_t PerformanceFrequency() {
    LARGE_INTEGER value{};
    QueryPerformanceFrequency(&value);
    return value.QuadPart;
}
