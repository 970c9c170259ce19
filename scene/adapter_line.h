#pragma once

#include "common/check_state.h"

#include <cstddef>

// The adapter row's length, terminator included, within the record's buffer.
constexpr std::size_t adapterLineLimit = 60;
static_assert(adapterLineLimit <= adapterLineCapacity, "the row fits its buffer");

// The overlay's adapter row: "当前显卡型号：" and the adapter description
// (already converted to wide text), cut so the line keeps within
// adapterLineLimit characters with its terminator. The rest of the buffer is
// cleared.
void BuildAdapterLine(wchar_t (&line)[adapterLineCapacity], const wchar_t* description);
