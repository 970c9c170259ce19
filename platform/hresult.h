#pragma once

#include <cstdint>

// An HRESULT in code that does not include windows.h: negative is a failure.
using HResult = int32_t;
