// The leading decimal integer of an outside text (a WMI clock or memory
// value): compared with a slow reference that saturates in 128 bits.
#include "fuzz/fuzz_check.h"
#include "probe/verdict.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

namespace {
std::wstring TextFromBytes(const uint8_t* data, std::size_t size) {
    // The first byte chooses 8-bit units (digits and signs are likely) or
    // 16-bit units (any UTF-16 unit, digits of other scripts included).
    std::wstring text;
    if (size == 0) return text;
    if (data[0] & 1) {
        for (std::size_t i = 1; i + 1 < size; i += 2)
            text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    } else {
        for (std::size_t i = 1; i < size; ++i) text.push_back(static_cast<wchar_t>(data[i]));
    }
    return text;
}

template <typename Int>
Int Reference(const std::wstring& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || (text[i] >= L'\t' && text[i] <= L'\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    __int128 value = 0;
    const __int128 cap = static_cast<__int128>(1) << 100;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i)
        if (value < cap) value = value * 10 + (text[i] - L'0');
    if (negative) value = -value;
    if (value > std::numeric_limits<Int>::max()) return std::numeric_limits<Int>::max();
    if (value < std::numeric_limits<Int>::min()) return std::numeric_limits<Int>::min();
    return static_cast<Int>(value);
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::wstring text = TextFromBytes(data, size);
    FUZZ_CHECK(LeadingInt32(text) == Reference<int32_t>(text));
    FUZZ_CHECK(LeadingInt64(text) == Reference<int64_t>(text));
    FUZZ_CHECK(LeadingInt64(text) == LeadingInt64(text));

    float gigabytes = MemoryGigabytes(text);
    FUZZ_CHECK(std::isfinite(gigabytes) && gigabytes >= 0.0f);
    FUZZ_CHECK(ClockFails(text) == ClockFails(text));
    return 0;
}
