#include "probe/value_text.h"

#include "platform/utf16.h"

#include <charconv>

std::wstring DecimalText(int32_t value) {
    char digits[16];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    return std::wstring(digits, result.ptr);
}

std::wstring TextUpToFirstNul(const char16_t* units, std::size_t count) {
    std::wstring text;
    if (units == nullptr) return text;
    std::size_t length = 0;
    while (length < count && units[length] != 0) ++length;
    text.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        char16_t unit = units[i];
        if constexpr (sizeof(wchar_t) >= 4) {
            if (IsHighSurrogate(unit) && i + 1 < length && IsLowSurrogate(units[i + 1])) {
                char32_t high = unit - firstHighSurrogate;
                char32_t low = units[++i] - firstLowSurrogate;
                text.push_back(static_cast<wchar_t>(0x10000 + (high << 10) + low));
                continue;
            }
        }
        text.push_back(static_cast<wchar_t>(unit));
    }
    return text;
}
