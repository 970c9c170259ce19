#include "probe/verdict.h"

#include <limits>
#include <type_traits>

namespace {
constexpr uint32_t clockThresholdMhz = 1600;
constexpr float cpuScoreThreshold = 80.0f;
constexpr float memoryThresholdGigabytes = 3.8f;
constexpr double kilobytesToGigabytes = 1.0 / (1024.0 * 1024.0);
constexpr uint32_t thresholdMajorVersion = 6;
constexpr uint32_t thresholdMinorVersion = 1;

bool IsSpace(wchar_t c) {
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

template <typename Int>
Int LeadingInteger(std::wstring_view text) {
    using Unsigned = std::make_unsigned_t<Int>;
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    const Unsigned limit = static_cast<Unsigned>(std::numeric_limits<Int>::max()) + negative;
    Unsigned magnitude = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        Unsigned digit = static_cast<Unsigned>(text[i] - L'0');
        if (magnitude > (limit - digit) / 10) {
            magnitude = limit;
            break;
        }
        magnitude = magnitude * 10 + digit;
    }
    return static_cast<Int>(negative ? Unsigned(0) - magnitude : magnitude);
}
}

int32_t LeadingInt32(std::wstring_view text) { return LeadingInteger<int32_t>(text); }

int64_t LeadingInt64(std::wstring_view text) { return LeadingInteger<int64_t>(text); }

// A negative clock compares as a large unsigned value and passes.
bool ClockFails(std::wstring_view clockText) {
    return static_cast<uint32_t>(LeadingInt32(clockText)) < clockThresholdMhz;
}

// False for a score that is not a number, which therefore passes.
bool CpuScoreFails(float cpuScore) { return cpuScore < cpuScoreThreshold; }

bool MemoryFails(float gigabytes) { return gigabytes < memoryThresholdGigabytes; }

// A negative count becomes a very large unsigned one and passes.
float MemoryGigabytes(std::wstring_view memoryText) {
    auto kilobytes = static_cast<uint64_t>(LeadingInt64(memoryText));
    return static_cast<float>(static_cast<double>(kilobytes) * kilobytesToGigabytes);
}

bool VersionAbove61(uint32_t major, uint32_t minor) {
    return major > thresholdMajorVersion ||
           (major == thresholdMajorVersion && minor > thresholdMinorVersion);
}
