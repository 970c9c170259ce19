#include "allocation_count.h"

#include <cstdlib>
#include <new>

std::size_t allocationCount = 0;

// The library's other forms of new and delete pass on to these.
void* operator new(std::size_t size) {
    ++allocationCount;
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
