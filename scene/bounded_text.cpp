#include "scene/bounded_text.h"

#include "platform/utf16.h"

std::size_t AppendBounded(wchar_t* out, std::size_t capacity, std::size_t used,
                          const wchar_t* text) {
    std::size_t length = used;
    while (*text != L'\0' && length + 1 < capacity) out[length++] = *text++;
    if (*text != L'\0' && length > used && IsHighSurrogate(out[length - 1])) --length;
    out[length] = L'\0';
    return length;
}

std::size_t AppendBoundedAscii(wchar_t* out, std::size_t capacity, std::size_t used,
                               const char* text, std::size_t length) {
    std::size_t end = used;
    for (std::size_t i = 0; i < length && end + 1 < capacity; ++i) {
        out[end++] = static_cast<wchar_t>(text[i]);
    }
    out[end] = L'\0';
    return end;
}
