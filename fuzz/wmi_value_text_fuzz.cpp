// The platform-free half of turning a WMI value into text: integers and
// strings as they come from the service.
#include "fuzz/fuzz_check.h"
#include "probe/value_text.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size >= sizeof(int32_t)) {
        int32_t value;
        std::memcpy(&value, data, sizeof value);
        std::wstring text = DecimalText(value);
        FUZZ_CHECK(text == std::to_wstring(value));
    }

    std::vector<char16_t> units(size / 2);
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    std::wstring text = TextUpToFirstNul(units.data(), units.size());
    FUZZ_CHECK(text == TextUpToFirstNul(units.data(), units.size()));
    FUZZ_CHECK(text.find(L'\0') == std::wstring::npos);
    FUZZ_CHECK(text.size() <= units.size());

    std::size_t end = 0;
    bool surrogates = false;
    while (end < units.size() && units[end] != 0) {
        surrogates |= units[end] >= 0xD800 && units[end] <= 0xDFFF;
        ++end;
    }
    if (!surrogates) FUZZ_CHECK(text == std::wstring(units.begin(), units.begin() + end));
    else FUZZ_CHECK(text.size() <= end);
    FUZZ_CHECK(TextUpToFirstNul(nullptr, size).empty());
    return 0;
}
