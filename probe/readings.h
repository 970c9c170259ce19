#pragma once

#include <cstdint>
#include <string_view>

// The numbers in the texts WMI gives.

// The leading decimal integer of a text: optional white space (space, tab,
// line feed, vertical tab, form feed, carriage return), an optional sign,
// then ASCII digits up to the first other character; 0 when there are none.
// A number beyond the type's range gives its maximum, or its minimum when
// negative, on every platform.
int32_t LeadingInt32(std::wstring_view text);
int64_t LeadingInt64(std::wstring_view text);

// Total visible memory from its kilobyte text, in single-precision
// gigabytes of 1024 x 1024 kilobytes. A negative count is taken as unsigned:
// a very large one.
float MemoryGigabytes(std::wstring_view memoryText);
