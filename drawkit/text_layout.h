#pragma once

#include <cstddef>
#include <cstdint>

// How text is laid out and rasterised: the block of lines is
// placed in the rectangle as DrawText places it, each character is drawn
// from a face that has its glyph, and glyphs are copied into a white texture
// whose alpha is their coverage.

// DrawText's format bits that the layout reads (checked against the
// platform's values where that builds).
constexpr uint32_t textLeft = 0x000;        // DT_LEFT | DT_TOP
constexpr uint32_t textRight = 0x002;       // DT_RIGHT
constexpr uint32_t textSingleLine = 0x020;  // DT_SINGLELINE
constexpr uint32_t textNoClip = 0x100;      // DT_NOCLIP

struct TextBox {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// Where a block of width x height goes in rect: from its top, at its left
// or ending at its right edge. The block is never wrapped or squeezed, so it
// may reach outside.
TextBox PlaceText(const TextBox& rect, int32_t width, int32_t height, uint32_t format);

// A screen-aligned textured quad in pixels and texture coordinates.
struct TextQuad {
    float left;
    float top;
    float right;
    float bottom;
    float u0;
    float v0;
    float u1;
    float v1;
};

// Cuts the quad to clip, texture coordinates with it; false when nothing
// of it is left.
bool ClipQuad(TextQuad& quad, const TextBox& clip);

// The face a character is drawn from, of faceCount faces: face 0 is the
// font's own, the others stand behind it in order. hasGlyph(face) tells
// whether a face has the character's glyph. The font's own face whenever it
// has it, else the first other face that has it; when none has it, the
// font's own face, whose missing-glyph box is then drawn.
template <typename HasGlyph>
std::size_t FaceWithGlyph(std::size_t faceCount, HasGlyph hasGlyph) {
    for (std::size_t face = 0; face < faceCount; ++face) {
        if (hasGlyph(face)) return face;
    }
    return 0;
}

// The smallest power of two at least value (1 for 0), up to 2^31.
uint32_t NextPowerOfTwo(uint32_t value);

// An image of 32-bit ARGB texels, pitch texels from one row to the next.
struct TextImage {
    uint32_t* texels;
    uint32_t width;
    uint32_t height;
    uint32_t pitch;
};

// A glyph's greyscale coverage, levels 0 to 64 (GetGlyphOutline's
// GGO_GRAY8_BITMAP), rows rowBytes apart.
struct GlyphCoverage {
    const uint8_t* levels;
    uint32_t width;
    uint32_t height;
    uint32_t rowBytes;
};

// Clears the image to white with no coverage.
void ClearTextImage(TextImage& image);

// Puts the glyph's coverage into the image's alpha with its top left at
// (x, y), keeping the stronger coverage where glyphs overlap. The parts
// outside the image are left out.
void CopyGlyph(TextImage& image, const GlyphCoverage& glyph, int32_t x, int32_t y);
