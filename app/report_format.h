#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// The pieces the report's and the tooltip's sentences are written with.

// The pattern with each "{}" taking the next argument; a "{}" past the last
// argument stays as it is.
std::wstring Fill(const wchar_t* pattern, std::initializer_list<std::wstring> arguments);

// The value in fixed notation with that many decimals.
std::wstring Fixed(double value, int decimals);

// As few digits as tell the single-precision value apart.
std::wstring Shortest(float value);

// Decimals of the report's own figures.
constexpr int secondsDecimals = 1;
constexpr int wholeDecimals = 0;

// The text in lines of at most columns columns, a Chinese, Japanese or
// Korean character taking two: broken after a space or beside a wide
// character where one comes, else where the line is full, never inside a
// surrogate pair; the spaces at a break are dropped.
std::vector<std::wstring> WrappedLines(std::wstring_view text, std::size_t columns);
