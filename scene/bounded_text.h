#pragma once

#include <cstddef>

// Appends text (up to its terminator) at out[used], keeping the result and
// its terminator within capacity (used < capacity). A cut never leaves the
// first half of a surrogate pair at the end. Returns the new length.
std::size_t AppendBounded(wchar_t* out, std::size_t capacity, std::size_t used,
                          const wchar_t* text);

// The same for length characters of plain ASCII text, widened.
std::size_t AppendBoundedAscii(wchar_t* out, std::size_t capacity, std::size_t used,
                               const char* text, std::size_t length);
