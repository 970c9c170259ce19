#pragma once

#include <cstddef>

// Linked into a test program, counts every allocation it makes.
extern std::size_t allocationCount;
