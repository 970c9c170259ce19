// The adapter row from any description the driver may report: single-byte
// code-page text widened byte by byte, or any UTF-16 units.
#include "fuzz/fuzz_check.h"
#include "render/adapter_line.h"

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <vector>

namespace {
constexpr wchar_t prefix[] = L"当前显卡型号：";
constexpr std::size_t prefixLength = 7;
// What memset(0x5A) leaves in a wchar_t of either width.
const wchar_t guardValue = static_cast<wchar_t>(sizeof(wchar_t) == 2 ? 0x5A5A : 0x5A5A5A5A);

struct GuardedLine {
    wchar_t line[adapterLineCapacity];
    wchar_t guard[8];
};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::vector<wchar_t> description;
    if (size > 0 && (data[0] & 1)) {
        for (std::size_t i = 1; i + 1 < size; i += 2)
            description.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    } else {
        for (std::size_t i = 1; i < size; ++i) description.push_back(static_cast<wchar_t>(data[i]));
    }
    description.push_back(L'\0');

    GuardedLine out;
    std::memset(&out, 0x5A, sizeof out);
    BuildAdapterLine(out.line, description.data());
    for (wchar_t g : out.guard) FUZZ_CHECK(g == guardValue);

    std::size_t length = std::wcslen(out.line);
    FUZZ_CHECK(length < adapterLineLimit);
    FUZZ_CHECK(std::wmemcmp(out.line, prefix, prefixLength) == 0);
    for (std::size_t i = length; i < adapterLineCapacity; ++i) FUZZ_CHECK(out.line[i] == L'\0');

    // The description part is the description's beginning, at most one
    // unit short of the room left (a surrogate pair is never split).
    std::size_t kept = length - prefixLength;
    std::size_t whole = std::wcslen(description.data());
    FUZZ_CHECK(std::wmemcmp(out.line + prefixLength, description.data(), kept) == 0);
    std::size_t room = adapterLineLimit - 1 - prefixLength;
    FUZZ_CHECK(kept == whole || kept == room || kept + 1 == room);

    GuardedLine again;
    std::memset(&again, 0, sizeof again);
    BuildAdapterLine(again.line, description.data());
    FUZZ_CHECK(std::wmemcmp(again.line, out.line, adapterLineCapacity) == 0);
    return 0;
}
