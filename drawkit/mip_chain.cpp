#include "drawkit/mip_chain.h"

#include <algorithm>

namespace {

constexpr uint32_t channelMask = 0xFF;
constexpr int channelBits[4] = {0, 8, 16, 24};

uint32_t Half(uint32_t side) { return std::max(1u, side / 2); }

// The rounded mean of each channel of up to four texels.
uint32_t Average(const uint32_t* texels, uint32_t count) {
    uint32_t mean = 0;
    for (int shift : channelBits) {
        uint32_t sum = 0;
        for (uint32_t i = 0; i < count; ++i) sum += (texels[i] >> shift) & channelMask;
        mean |= ((sum + count / 2) / count) << shift;
    }
    return mean;
}

}  // namespace

uint32_t MipLevelCount(uint32_t width, uint32_t height, uint32_t requested) {
    uint32_t levels = 1;
    for (uint32_t side = std::max(width, height); side > 1; side /= 2) ++levels;
    return requested == 0 ? levels : std::min(levels, requested);
}

MipLevel HalveLevel(const MipLevel& above) {
    MipLevel below{Half(above.width), Half(above.height), {}};
    below.texels.resize(static_cast<std::size_t>(below.width) * below.height);
    const uint32_t spanX = above.width > 1 ? 2 : 1;
    const uint32_t spanY = above.height > 1 ? 2 : 1;
    for (uint32_t y = 0; y < below.height; ++y) {
        for (uint32_t x = 0; x < below.width; ++x) {
            uint32_t box[4];
            uint32_t count = 0;
            for (uint32_t dy = 0; dy < spanY; ++dy) {
                for (uint32_t dx = 0; dx < spanX; ++dx) {
                    box[count++] = above.texels[(y * spanY + dy) * above.width + x * spanX + dx];
                }
            }
            below.texels[y * below.width + x] = Average(box, count);
        }
    }
    return below;
}
