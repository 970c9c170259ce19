#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Plain decimal text of a signed 32-bit value: an optional minus sign and
// the digits, nothing else.
std::wstring DecimalText(int32_t value);

// The first count UTF-16 units, up to the first NUL among them, as wide text
// (surrogate pairs joined where wchar_t holds whole code points; unpaired
// surrogates kept as they are). A null buffer gives empty text.
std::wstring TextUpToFirstNul(const char16_t* units, std::size_t count);
