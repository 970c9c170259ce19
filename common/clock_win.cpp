#include "common/clock.h"

#include <windows.h>
#include <mmsystem.h>

uint32_t TickMilliseconds() { return timeGetTime(); }

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
