#pragma once

#include <cstdint>
#include <string_view>

// The leading decimal integer of a text: optional white space (space, tab,
// line feed, vertical tab, form feed, carriage return), an optional sign,
// then ASCII digits up to the first other character; 0 when there are none.
// A number beyond the type's range gives its maximum, or its minimum when
// negative, on every platform.
int32_t LeadingInt32(std::wstring_view text);
int64_t LeadingInt64(std::wstring_view text);

// Start-up verdict rules; each returns true when its criterion fails.
bool ClockFails(std::wstring_view clockText);
bool CpuScoreFails(float cpuScore);
bool MemoryFails(float gigabytes);

// Total visible memory from its kilobyte text, in single-precision
// gigabytes of 1024 x 1024 kilobytes.
float MemoryGigabytes(std::wstring_view memoryText);

// True for versions above 6.1: 6.2, 6.3, 7.0, 10.0 ...; false for 6.1 and
// below.
bool VersionAbove61(uint32_t major, uint32_t minor);
