#include "drawkit/text_layout.h"

#include <algorithm>

namespace {

constexpr uint32_t whiteTexel = 0x00FFFFFF;
constexpr uint32_t coverageLevels = 64;
constexpr uint32_t opaque = 0xFF;
constexpr int alphaShift = 24;

// Coverage levels 0 to 64 as alpha 0 to 255, rounded.
uint32_t Alpha(uint8_t level) {
    uint32_t clamped = std::min<uint32_t>(level, coverageLevels);
    return (clamped * opaque + coverageLevels / 2) / coverageLevels;
}

// One side of the quad moved inwards to edge, and its texture coordinate in
// proportion.
void CutSide(float& side, float& coordinate, float edge, float farSide, float farCoordinate) {
    float span = farSide - side;
    if (span == 0.0f) return;
    coordinate += (farCoordinate - coordinate) * ((edge - side) / span);
    side = edge;
}

}  // namespace

TextBox PlaceText(const TextBox& rect, int32_t width, int32_t height, uint32_t format) {
    const int32_t left = format & textRight ? rect.right - width : rect.left;
    return {left, rect.top, left + width, rect.top + height};
}

bool ClipQuad(TextQuad& quad, const TextBox& clip) {
    const float left = static_cast<float>(clip.left);
    const float top = static_cast<float>(clip.top);
    const float right = static_cast<float>(clip.right);
    const float bottom = static_cast<float>(clip.bottom);
    if (quad.left >= right || quad.right <= left || quad.top >= bottom || quad.bottom <= top) {
        return false;
    }
    if (quad.left < left) CutSide(quad.left, quad.u0, left, quad.right, quad.u1);
    if (quad.right > right) CutSide(quad.right, quad.u1, right, quad.left, quad.u0);
    if (quad.top < top) CutSide(quad.top, quad.v0, top, quad.bottom, quad.v1);
    if (quad.bottom > bottom) CutSide(quad.bottom, quad.v1, bottom, quad.top, quad.v0);
    return true;
}

uint32_t NextPowerOfTwo(uint32_t value) {
    uint32_t power = 1;
    while (power < value && power < (1u << 31)) power <<= 1;
    return power;
}

void ClearTextImage(TextImage& image) {
    for (uint32_t y = 0; y < image.height; ++y) {
        std::fill_n(image.texels + static_cast<std::size_t>(y) * image.pitch, image.width,
                    whiteTexel);
    }
}

void CopyGlyph(TextImage& image, const GlyphCoverage& glyph, int32_t x, int32_t y) {
    const int64_t firstRow = std::max<int64_t>(0, -int64_t{y});
    const int64_t lastRow = std::min<int64_t>(glyph.height, int64_t{image.height} - y);
    const int64_t firstColumn = std::max<int64_t>(0, -int64_t{x});
    const int64_t lastColumn = std::min<int64_t>(glyph.width, int64_t{image.width} - x);
    for (int64_t row = firstRow; row < lastRow; ++row) {
        const uint8_t* levels = glyph.levels + row * glyph.rowBytes;
        uint32_t* texels = image.texels + (y + row) * int64_t{image.pitch} + x;
        for (int64_t column = firstColumn; column < lastColumn; ++column) {
            uint32_t alpha = std::max(texels[column] >> alphaShift, Alpha(levels[column]));
            texels[column] = (alpha << alphaShift) | whiteTexel;
        }
    }
}
