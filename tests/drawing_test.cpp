#include "drawkit/matrix.h"
#include "drawkit/mip_chain.h"
#include "drawkit/text_layout.h"
#include "expect_matrix.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr Matrix4 identity = {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};

// The turn at an angle, its cosine and sine in single precision: the tick's
// angles at 500 ms, 12 s and at the largest tick (49.7 days).
struct Turn {
    float angle;
    float cosine;
    float sine;
};
constexpr Turn turns[] = {
    {1.5707964f, -4.371139e-08f, 1.0f},
    {37.699116f, 1.0f, 3.9100964e-06f},
    {13493039.0f, 0.60883647f, -0.79329574f},
};

Matrix4 Rotation(int a, int b, const Turn& turn) {
    Matrix4 wanted = identity;
    wanted.m[a][a] = turn.cosine;
    wanted.m[a][b] = turn.sine;
    wanted.m[b][a] = -turn.sine;
    wanted.m[b][b] = turn.cosine;
    return wanted;
}

}  // namespace

TEST(Matrix, RotationsTurnAxisYTowardsZThenZTowardsXThenXTowardsY) {
    for (const Turn& turn : turns) {
        SCOPED_TRACE(turn.angle);
        ExpectMatrix(MatrixRotationX(turn.angle), Rotation(1, 2, turn));
        ExpectMatrix(MatrixRotationY(turn.angle), Rotation(2, 0, turn));
        ExpectMatrix(MatrixRotationZ(turn.angle), Rotation(0, 1, turn));
    }
}

TEST(Matrix, MultiplyAppliesTheLeftFactorFirst) {
    const Matrix4 a = {{{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}}};
    const Matrix4 b = {{{2, 0, 0, 0}, {0, 0, 1, 0}, {0, 1, 0, 0}, {1, 2, 1, 1}}};
    ExpectMatrix(MatrixMultiply(a, b),
                 {{{6, 11, 6, 4}, {18, 23, 14, 8}, {30, 35, 22, 12}, {42, 47, 30, 16}}});
}

// An eye 13 units from its target, off every axis: 3-4-12 is a whole triangle.
TEST(Matrix, TheTargetLiesAheadAsFarAsTheEyeStandsFromIt) {
    const Matrix4 view = MatrixLookAtLH({3, 4, -12}, {0, 0, 0}, {0, 1, 0});
    EXPECT_FLOAT_EQ(view.m[3][2], 13.0f);
}

TEST(Matrix, AnEyeOnItsTargetGivesZeroAxesNotNumbersThatAreNot) {
    const Matrix4 view = MatrixLookAtLH({1, 2, 3}, {1, 2, 3}, {0, 1, 0});
    ExpectMatrix(view, {{{0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 1}}});
}

TEST(MipChain, HasAsManyLevelsAsAskedForUpToOneByOne) {
    EXPECT_EQ(MipLevelCount(256, 256, 6), 6u);
    EXPECT_EQ(MipLevelCount(16, 16, 6), 5u);  // a small image runs out first
    EXPECT_EQ(MipLevelCount(64, 2, 6), 6u);   // the longer side counts
}

// Each channel's rounded mean, never carried into the next; a level one texel
// wide averages pairs down the column, one texel high along the row; an odd
// column is left out.
TEST(MipChain, EachTexelIsTheRoundedBoxAverageOfEachChannel) {
    const struct { MipLevel above, below; } cases[] = {
        {{4, 2, {0xFF000000, 0xFF000004, 0x00010203, 0x00010203,
                 0xFF000004, 0xFF000004, 0x00010203, 0x01020304}},
         {2, 1, {0xFF000003, 0x00010203}}},  // (4 x 3 + 1) / 4 rounds down, alpha 1 / 4 too
        {{2, 2, {0xFF, 0xFF, 0x01, 0x01}}, {1, 1, {0x80}}},  // 512 / 4 = 128
        {{2, 2, {0x01, 0x01, 0x00, 0x00}}, {1, 1, {0x01}}},  // 2 / 4 rounds up
        {{1, 4, {0x10, 0x20, 0x00, 0xFF}}, {1, 2, {0x18, 0x80}}},
        {{4, 1, {0x10, 0x20, 0x30, 0x50}}, {2, 1, {0x18, 0x40}}},
        {{4, 4, {0, 4, 8, 12, 0, 4, 8, 12, 16, 20, 24, 28, 16, 20, 24, 28}}, {2, 2, {2, 10, 18, 26}}},
        {{3, 2, {8, 8, 200, 8, 8, 200}}, {1, 1, {8}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.above.width << " x " << c.above.height);
        const MipLevel below = HalveLevel(c.above);
        EXPECT_EQ(below.width, c.below.width);
        EXPECT_EQ(below.height, c.below.height);
        EXPECT_EQ(below.texels, c.below.texels);
    }
}

TEST(TextLayout, PlacesTheBlockByTheFormat) {
    const TextBox rect{10, 20, 110, 70};
    const struct {
        uint32_t format;
        int32_t left, top;
    } cases[] = {
        {textSingleLine | textNoClip, 10, 20},
        {textRight | textSingleLine | textNoClip, 70, 20},
    };
    for (const auto& c : cases) {
        const TextBox placed = PlaceText(rect, 40, 10, c.format);
        EXPECT_EQ(placed.left, c.left) << "format " << c.format;
        EXPECT_EQ(placed.top, c.top) << "format " << c.format;
        EXPECT_EQ(placed.right, c.left + 40) << "format " << c.format;
        EXPECT_EQ(placed.bottom, c.top + 10) << "format " << c.format;
    }
}

// A glyph cache texture is as small as the text allows: a width already a
// power of two is not doubled.
TEST(TextLayout, TextureSidesAreTheNextPowerOfTwoOrTheSideItself) {
    EXPECT_EQ(NextPowerOfTwo(256), 256u);
    EXPECT_EQ(NextPowerOfTwo(257), 512u);
}

// Faces 0 (the row's own) to 2; a bit per face that has the character.
TEST(TextLayout, ACharacterIsDrawnFromTheRowsFaceUnlessItLacksItThenFromTheFirstThatHasIt) {
    const struct {
        uint32_t facesWithGlyph;
        std::size_t face;
    } cases[] = {
        {0b111, 0},  // the row's own, though the others have it too
        {0b001, 0},
        {0b110, 1},
        {0b100, 2},
        {0b000, 0},  // nobody has it: the row's own missing-glyph box
    };
    for (const auto& c : cases) {
        std::size_t asked = 0;
        const std::size_t face = FaceWithGlyph(3, [&](std::size_t f) {
            ++asked;
            return ((c.facesWithGlyph >> f) & 1) != 0;
        });
        EXPECT_EQ(face, c.face) << "faces " << c.facesWithGlyph;
        EXPECT_LE(asked, 3u) << "faces " << c.facesWithGlyph;
    }
}

TEST(TextLayout, ClippingCutsTheQuadAndItsTextureCoordinatesAlike) {
    TextQuad quad{-10, 0, 30, 20, 0, 0, 1, 1};
    ASSERT_TRUE(ClipQuad(quad, {0, 5, 20, 100}));
    EXPECT_EQ(quad.left, 0.0f);
    EXPECT_EQ(quad.u0, 0.25f);
    EXPECT_EQ(quad.right, 20.0f);
    EXPECT_EQ(quad.u1, 0.75f);
    EXPECT_EQ(quad.top, 5.0f);
    EXPECT_EQ(quad.v0, 0.25f);
    EXPECT_EQ(quad.bottom, 20.0f);
    EXPECT_EQ(quad.v1, 1.0f);
}

TEST(TextLayout, AQuadOutsideTheClipOrTouchingItsEdgeLeavesNothing) {
    TextQuad below{0, 100, 10, 110, 0, 0, 1, 1};
    EXPECT_FALSE(ClipQuad(below, {0, 0, 50, 100}));
    TextQuad left{-10, 0, 0, 10, 0, 0, 1, 1};
    EXPECT_FALSE(ClipQuad(left, {0, 0, 50, 100}));
}

// A 4 x 3 image in a buffer with room around it; a 3 x 2 glyph.
class GlyphImage : public testing::Test {
protected:
    static constexpr uint32_t pitch = 6;
    static constexpr uint32_t guard = 0x12345678;
    void SetUp() override { ClearTextImage(image); }
    uint32_t At(int x, int y) const { return buffer[pitch + 1 + y * pitch + x]; }
    std::vector<uint32_t> buffer = std::vector<uint32_t>(6 * 5, guard);
    TextImage image{buffer.data() + pitch + 1, 4, 3, pitch};
    const uint8_t levels[2][4] = {{0, 32, 64, 99}, {64, 64, 64, 99}};  // rows of 4 bytes
    const GlyphCoverage glyph{&levels[0][0], 3, 2, 4};
};

TEST_F(GlyphImage, AGlyphReachingPastEveryEdgeWritesOnlyInsideTheImage) {
    for (int32_t y : {-1, 2}) {
        for (int32_t x : {-2, 3}) CopyGlyph(image, glyph, x, y);
    }
    for (std::size_t i = 0; i < buffer.size(); ++i) {
        bool inside = i / pitch >= 1 && i / pitch <= 3 && i % pitch >= 1 && i % pitch <= 4;
        if (inside) continue;
        EXPECT_EQ(buffer[i], guard) << "texel " << i;
    }
    EXPECT_EQ(At(0, 0), 0xFFFFFFFFu);  // the glyph's last column, second row
    EXPECT_EQ(At(3, 2), 0x00FFFFFFu);  // its first column, first row
}

TEST_F(GlyphImage, ClearingLeavesEveryTexelWhiteAndUncovered) {
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) EXPECT_EQ(At(x, y), 0x00FFFFFFu) << x << ", " << y;
    }
}

// Coverage 0 to 64 becomes alpha 0 to 255 on white.
TEST_F(GlyphImage, OverlappingGlyphsKeepTheStrongerCoverage) {
    CopyGlyph(image, glyph, 0, 0);
    CopyGlyph(image, glyph, 1, 0);
    EXPECT_EQ(At(1, 0), 0x80FFFFFFu);  // 32 from the first kept over 0 from the second
    EXPECT_EQ(At(2, 0), 0xFFFFFFFFu);  // 64 kept over 32
}
