#pragma once

#include <cstdio>
#include <cstdlib>

// A broken property aborts the run, so libFuzzer keeps the input that broke it.
#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

// What memset(0x5A) leaves in a wchar_t of either width, and a line with
// guard words behind it.
const wchar_t guardValue = static_cast<wchar_t>(sizeof(wchar_t) == 2 ? 0x5A5A : 0x5A5A5A5A);
template <std::size_t Capacity>
struct Guarded {
    wchar_t text[Capacity];
    wchar_t guard[8];
    void CheckGuard() const { for (wchar_t g : guard) FUZZ_CHECK(g == guardValue); }
};
