// The preview button's glyph enlarged for a higher resolution, worked out by hand.
#include <gtest/gtest.h>
#include "graphics/bitmap/GlyphScale.h"

TEST(GlyphScale, KeyTurnsTransparentStairsBecomeDiagonalsRimsArePartlyCovered) {
    constexpr uint32_t K = 0x808000, B = 0x000000, W = 0xFFFFFF, Solid = 0xFF000000;
    const glyph::Image stairs{3, 3, {K, K, K, B, K, K, B, B, K}};
    EXPECT_EQ(glyph::Scaled(stairs, K, 3, 3).pixels, (std::vector<uint32_t>{0, 0, 0, Solid, 0, 0, Solid, Solid, 0}));
    // The middle pixel's lower-left quarter takes the black meeting there; the next one stays.
    const glyph::Image doubled = glyph::Doubled(stairs);
    EXPECT_EQ(doubled.pixels[3 * 6 + 2], B);
    EXPECT_EQ(doubled.pixels[3 * 6 + 3], K);
    // A white square in a key frame, 4 x 4 to 6 x 6: doubled (its corners cut), averaged. (2, 2)
    // covers 4/3 x 4/3 from (8/3, 8/3): the cut corner 1/9, white 1/3 + 1/3 + 1: 15/16, 239.
    const glyph::Image square{4, 4, {K, K, K, K, K, W, W, K, K, W, W, K, K, K, K, K}};
    const glyph::Image shown = glyph::Scaled(square, K, 6, 6);
    EXPECT_EQ(shown.pixels[2 * 6 + 2], 0xEFEFEFEFu);
    EXPECT_EQ(shown.pixels[0], 0u);
    EXPECT_THROW(glyph::Scaled(square, K, 3, 6), std::invalid_argument);
}
