#pragma once

// UTF-16 surrogates: a pair, high then low, encodes one code point above
// U+FFFF.
constexpr char32_t firstHighSurrogate = 0xD800;
constexpr char32_t firstLowSurrogate = 0xDC00;
constexpr char32_t lastLowSurrogate = 0xDFFF;

constexpr bool IsHighSurrogate(char32_t unit) {
    return unit >= firstHighSurrogate && unit < firstLowSurrogate;
}

constexpr bool IsLowSurrogate(char32_t unit) {
    return unit >= firstLowSurrogate && unit <= lastLowSurrogate;
}
