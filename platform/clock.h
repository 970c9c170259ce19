#pragma once

#include <cstdint>

// The multimedia millisecond tick (timeGetTime on Windows); wraps after
// about 49.7 days.
uint32_t TickMilliseconds();

// The tick as seconds the way the meters and the scene rotation use it:
// converted as an unsigned value, times 0.001, held in single precision.
inline float TickToSeconds(uint32_t tick) {
    return static_cast<float>(tick) * 0.001f;
}

inline float TickSeconds() { return TickToSeconds(TickMilliseconds()); }

// The high-resolution performance counter and its ticks per second
// (QueryPerformanceCounter / QueryPerformanceFrequency on Windows).
int64_t PerformanceCounter();
int64_t PerformanceFrequency();
