// The memory line from any memory text and from any single-precision value:
// always prefix, number, "G"; the number equals the C library's "%.2g" with
// the exponent written with at least three digits.
#include "fuzz/fuzz_check.h"
#include "probe/report_lines.h"
#include "probe/verdict.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {
std::wstring ReferenceNumber(float gigabytes) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2g", static_cast<double>(gigabytes));
    std::string number(text);
    std::size_t exponent = number.find('e');
    if (exponent != std::string::npos) {
        std::size_t digits = number.size() - (exponent + 2);
        if (digits < 3) number.insert(exponent + 2, 3 - digits, '0');
    }
    return std::wstring(number.begin(), number.end());
}

void CheckLine(float gigabytes) {
    const std::wstring prefix = L"内存: ";
    std::wstring line = BuildMemoryLine(gigabytes);
    FUZZ_CHECK(line == BuildMemoryLine(gigabytes));
    FUZZ_CHECK(line.compare(0, prefix.size(), prefix) == 0);
    FUZZ_CHECK(!line.empty() && line.back() == L'G');
    FUZZ_CHECK(line.size() <= prefix.size() + 9 + 1);
    if (std::isfinite(gigabytes)) FUZZ_CHECK(FormatGigabytes(gigabytes) == ReferenceNumber(gigabytes));
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size >= sizeof(float)) {
        float bits;
        std::memcpy(&bits, data, sizeof bits);
        CheckLine(bits);
    }
    std::wstring text(data, data + size);
    CheckLine(MemoryGigabytes(text));
    return 0;
}
