#include "probe/readings.h"

#include <limits>
#include <type_traits>

namespace {
constexpr double kilobytesToGigabytes = 1.0 / (1024.0 * 1024.0);

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

float MemoryGigabytes(std::wstring_view memoryText) {
    auto kilobytes = static_cast<uint64_t>(LeadingInt64(memoryText));
    return static_cast<float>(static_cast<double>(kilobytes) * kilobytesToGigabytes);
}
