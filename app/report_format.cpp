#include "app/report_format.h"

#include "platform/utf16.h"

#include <charconv>

namespace {

std::wstring Widened(const char* first, const char* last) { return std::wstring(first, last); }

// The East Asian wide ranges: what a Chinese text is made of.
struct Range {
    char32_t first;
    char32_t last;
};
constexpr Range wideRanges[] = {
    {0x1100, 0x115F}, {0x2E80, 0xA4CF}, {0xAC00, 0xD7A3}, {0xF900, 0xFAFF},
    {0xFE30, 0xFE4F}, {0xFF00, 0xFF60}, {0xFFE0, 0xFFE6}, {0x20000, 0x3FFFD},
};

bool Wide(char32_t c) {
    for (const Range& range : wideRanges) {
        if (c >= range.first && c <= range.last) return true;
    }
    return false;
}

// The length of the character at i: two units for a surrogate pair.
std::size_t CharacterLength(std::wstring_view text, std::size_t i) {
    return IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]) ? 2 : 1;
}

char32_t CharacterAt(std::wstring_view text, std::size_t i) {
    if (CharacterLength(text, i) == 1) return static_cast<char32_t>(text[i]);
    return 0x10000 + ((static_cast<char32_t>(text[i]) - firstHighSurrogate) << 10) +
           (static_cast<char32_t>(text[i + 1]) - firstLowSurrogate);
}

void SkipSpaces(std::wstring_view text, std::size_t& i) {
    while (i < text.size() && text[i] == L' ') ++i;
}

}  // namespace

std::wstring Fill(const wchar_t* pattern, std::initializer_list<std::wstring> arguments) {
    std::wstring text;
    auto argument = arguments.begin();
    for (const wchar_t* c = pattern; *c != L'\0'; ++c) {
        if (c[0] == L'{' && c[1] == L'}' && argument != arguments.end()) {
            text += *argument++;
            ++c;
        } else {
            text += *c;
        }
    }
    return text;
}

std::wstring Fixed(double value, int decimals) {
    // Room for the largest double in fixed notation.
    char digits[400];
    auto result = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed,
                                decimals);
    return Widened(digits, result.ptr);
}

std::wstring Shortest(float value) {
    char digits[64];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    return Widened(digits, result.ptr);
}

std::vector<std::wstring> WrappedLines(std::wstring_view text, std::size_t columns) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    while (start < text.size() || lines.empty()) {
        std::size_t used = 0;
        std::size_t end = start;
        std::size_t lastBreak = start;  // none yet
        bool previousWide = false;
        while (end < text.size()) {
            const std::size_t length = CharacterLength(text, end);
            const bool wide = Wide(CharacterAt(text, end));
            const std::size_t width = wide ? 2 : 1;
            if ((wide || previousWide) && end > start) lastBreak = end;
            if (used + width > columns && end > start) break;
            used += width;
            end += length;
            if (text[end - length] == L' ') lastBreak = end;
            previousWide = wide;
        }
        if (end < text.size() && lastBreak > start) end = lastBreak;
        std::wstring_view line = text.substr(start, end - start);
        while (!line.empty() && line.back() == L' ') line.remove_suffix(1);
        lines.emplace_back(line);
        start = end;
        SkipSpaces(text, start);
    }
    return lines;
}
