#include "probe/probe_lines.h"

#include <charconv>

namespace {
const wchar_t cpuLinePrefix[] = L"CPU：";  // a full-width colon
const wchar_t versionSeparator[] = L" version : ";
const wchar_t memoryPrefix[] = L"内存: ";
const wchar_t memoryUnit[] = L"G";
constexpr int significantDigits = 2;
constexpr std::size_t minimumExponentDigits = 3;
}

std::wstring BuildCpuLine(const std::wstring& processorName) {
    return cpuLinePrefix + processorName;
}

std::wstring BuildOsLine(const std::wstring& caption, const std::wstring& version) {
    return caption + versionSeparator + version;
}

std::wstring BuildMemoryLine(float gigabytes) {
    return memoryPrefix + FormatGigabytes(gigabytes) + memoryUnit;
}

// The standard library's own conversion gives the digits and the choice of
// notation alike everywhere; only the exponent width differs between C
// libraries, so it is widened here.
std::wstring FormatGigabytes(float gigabytes) {
    char digits[64];
    auto result = std::to_chars(digits, digits + sizeof digits, static_cast<double>(gigabytes),
                                std::chars_format::general, significantDigits);
    std::wstring text(digits, result.ptr);
    std::size_t exponent = text.find(L'e');
    if (exponent == std::wstring::npos) return text;
    std::size_t firstDigit = exponent + 2;
    std::size_t exponentDigits = text.size() - firstDigit;
    if (exponentDigits < minimumExponentDigits)
        text.insert(firstDigit, minimumExponentDigits - exponentDigits, L'0');
    return text;
}
