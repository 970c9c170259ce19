#include "platform/clock.h"

#include <chrono>

// Stand-ins for the Windows clocks, so the platform-free code runs natively:
// a monotonic clock counted in nanoseconds and in milliseconds.

uint32_t TickMilliseconds() {
    using namespace std::chrono;
    auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<uint32_t>(ms);
}

int64_t PerformanceCounter() {
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

int64_t PerformanceFrequency() { return 1000000000; }
