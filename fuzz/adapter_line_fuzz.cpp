// The adapter row from any description the driver may report: single-byte
// code-page text widened byte by byte, or any UTF-16 units.
#include "fuzz/fuzz_check.h"
#include "scene/adapter_line.h"

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::vector<wchar_t> description;
    const bool wide = size > 0 && (data[0] & 1);
    for (std::size_t i = 1; i + wide < size; i += 1 + wide)
        description.push_back(static_cast<wchar_t>(data[i] | (wide ? data[i + 1] << 8 : 0)));
    description.push_back(L'\0');

    Guarded<adapterLineCapacity> out;
    std::memset(&out, 0x5A, sizeof out);
    BuildAdapterLine(out.text, description.data());
    out.CheckGuard();
    std::size_t length = std::wcslen(out.text);
    FUZZ_CHECK(length < adapterLineLimit && std::wmemcmp(out.text, L"当前显卡型号：", 7) == 0);
    for (std::size_t i = length; i < adapterLineCapacity; ++i) FUZZ_CHECK(out.text[i] == L'\0');
    // The description's beginning, at most one unit short of the room left
    // (a surrogate pair is never split).
    std::size_t kept = length - 7, room = adapterLineLimit - 1 - 7;
    FUZZ_CHECK(std::wmemcmp(out.text + 7, description.data(), kept) == 0);
    FUZZ_CHECK(kept == std::wcslen(description.data()) || kept == room || kept + 1 == room);
    return 0;
}
