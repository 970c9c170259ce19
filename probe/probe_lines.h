#pragma once

#include <string>

// The three probe lines the overlay shows. The CPU and memory lines carry
// their labels and are drawn as they are; the operating-system line is the
// caption and version alone, and its row puts "操作系统: " before it
// (FormatOsRow), as the rows' table gives it.
std::wstring BuildCpuLine(const std::wstring& processorName);
std::wstring BuildOsLine(const std::wstring& caption, const std::wstring& version);
std::wstring BuildMemoryLine(float gigabytes);

// The gigabytes widened to double with two significant digits in general
// notation, classic locale: fixed for decimal exponents -4 to 1, otherwise
// exponent notation with a sign and at least three exponent digits
// ("1.3e+002"); trailing zeros and a bare point dropped.
std::wstring FormatGigabytes(float gigabytes);
