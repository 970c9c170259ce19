#pragma once

#include <cstdint>
#include <vector>

// A texture's mip chain: each level half the size of the one above (never
// below 1), each texel the box average of the 2 x 2 texels above it (2 x 1
// or 1 x 2 where the level above is one texel wide or high), rounded to
// nearest, each of the four 8-bit channels on its own. Texels are 32-bit ARGB
// values.

// The levels a chain of the image's size can have, at most requested (0
// asks for the whole chain, down to 1 x 1).
uint32_t MipLevelCount(uint32_t width, uint32_t height, uint32_t requested);

struct MipLevel {
    uint32_t width;
    uint32_t height;
    std::vector<uint32_t> texels;  // width x height, row by row
};

// The level below: half the size, box-filtered.
MipLevel HalveLevel(const MipLevel& above);
