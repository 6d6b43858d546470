// Sprite pixel access and sampling: bounds, tiled folding (wrapping up, reflecting below zero),
// the empty-sprite cases, and the nearest and bilinear samplers with their one-sided clamps.
#include <gtest/gtest.h>

#include <limits>

#include "engine/sprite.h"

namespace dral {
namespace {

constexpr Pixel Ruby{255, 0, 0, 255}, Sky{0, 0, 255, 255};

TEST(SpriteAccess, NewSpriteIsOpaqueBlackAndBounded) {
    Sprite s(3, 2);
    ASSERT_NE(s.Pixels(), nullptr);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(s.Pixels()[i], Pixel(0, 0, 0, 255));
    EXPECT_EQ(s.GetPixel(3, 0), Transparent);
    EXPECT_EQ(s.GetPixel(0, -1), Transparent);
    EXPECT_FALSE(s.SetPixel(3, 0, Ruby));
    EXPECT_FALSE(s.SetPixel({-1, 1}, Ruby));
    for (int i = 0; i < 6; ++i) EXPECT_EQ(s.Pixels()[i], Black);
    EXPECT_TRUE(s.SetPixel(2, 1, Ruby));
    EXPECT_EQ(s.Pixels()[5], Ruby); // row-major
    EXPECT_EQ(s.GetPixel({2, 1}), Ruby);
}

TEST(SpriteAccess, NegativeOrUnholdableSizeGivesAnEmptySprite) {
    const int32_t max = std::numeric_limits<int32_t>::max();
    for (const Vec2i size : {Vec2i(-4, 3), Vec2i(3, -4), Vec2i(max, max)}) {
        Sprite s(size.x, size.y);
        EXPECT_EQ(s.width, 0);
        EXPECT_EQ(s.height, 0);
        EXPECT_EQ(s.Pixels(), nullptr);
        EXPECT_EQ(s.GetPixel(0, 0), Transparent);
        EXPECT_FALSE(s.SetPixel(0, 0, White));
    }
}

TEST(SpriteAccess, PixelCountRefusesWhatOneArrayCannotHold) {
    size_t count = 7;
    EXPECT_TRUE(PixelCount(0, 5, count));
    EXPECT_EQ(count, 0u);
    EXPECT_TRUE(PixelCount(3, 5, count));
    EXPECT_EQ(count, 15u);
    EXPECT_FALSE(PixelCount(-1, 5, count));
    EXPECT_FALSE(PixelCount(5, -1, count));
    EXPECT_EQ(count, 15u);
    // The byte size must stay within PTRDIFF_MAX: 2^16 x 2^16 pixels of 4 bytes is 2^34 bytes,
    // beyond a 32-bit build and fine on a 64-bit one.
    EXPECT_EQ(PixelCount(65536, 65536, count), sizeof(size_t) > 4);
    const int32_t max = std::numeric_limits<int32_t>::max();
    EXPECT_FALSE(PixelCount(max, max, count));
    EXPECT_EQ(AllocatePixels(max, max), nullptr);
}

TEST(SpriteAccess, TiledFoldsByRemainderAndReflectsNegatives) {
    Sprite s(4, 4);
    for (int x = 0; x < 4; ++x) s.SetPixel(x, 0, Pixel(uint8_t(x), 0, 0, 255));
    s.SetPixel(0, 2, Ruby);
    s.SetSampleMode(Tiled);
    EXPECT_EQ(s.GetPixel(5, 0).r, 1);
    EXPECT_EQ(s.GetPixel(-1, 0).r, 1); // reflected about zero, not wrapped to column 3
    EXPECT_EQ(s.GetPixel(-4, 0).r, 0);
    EXPECT_EQ(s.GetPixel(-7, 0).r, 3);
    EXPECT_EQ(s.GetPixel(0, -2), Ruby);
    EXPECT_EQ(s.GetPixel(std::numeric_limits<int32_t>::min(), 6), Ruby);
    EXPECT_FALSE(s.SetPixel(5, 0, Sky)); // writes ignore the sample mode
}

TEST(SpriteAccess, TiledReadOfAnEmptySpriteIsTransparent) {
    Sprite empty, flat(0, 4);
    empty.SetSampleMode(Tiled);
    flat.SetSampleMode(Tiled);
    EXPECT_EQ(empty.GetPixel(3, 3), Transparent);
    EXPECT_EQ(flat.GetPixel(0, 1), Transparent);
    EXPECT_EQ(empty.SampleBilinear(0.5f, 0.5f), Pixel(0, 0, 0, 255));
}

TEST(SpriteSampling, NearestCapsAtTheLastPixelOnly) {
    Sprite s(8, 4);
    s.SetPixel(7, 3, Ruby);
    s.SetPixel(0, 0, Sky);
    EXPECT_EQ(s.SampleNearest(1.0f, 1.0f), Ruby);
    EXPECT_EQ(s.SampleNearest(5.0f, 1e30f), Ruby);
    EXPECT_EQ(s.SampleNearest(-0.1f, 0.0f), Sky); // -0.8 truncates to column 0
    EXPECT_EQ(s.SampleNearest(-0.2f, 0.0f), Transparent);
    EXPECT_EQ(s.SampleNearest(0.06f, 0.0f), Sky);
    s.SetSampleMode(Tiled);
    EXPECT_EQ(s.SampleNearest(-0.9f, -0.8f), Ruby); // column -7 reflects to 7, row -3 to 3
}

TEST(SpriteSampling, BilinearBlendsWithTruncationAndIsOpaque) {
    Sprite s(2, 1);
    s.SetPixel(0, 0, Ruby);
    s.SetPixel(1, 0, Sky);
    EXPECT_EQ(s.SampleBilinear(0.0f, 0.5f), Pixel(255, 0, 0, 255));
    EXPECT_EQ(s.SampleBilinear(0.25f, 0.5f), Pixel(255, 0, 0, 255));
    EXPECT_EQ(s.SampleBilinear(0.5f, 0.5f), Pixel(127, 0, 127, 255));
    EXPECT_EQ(s.SampleBilinear(0.75f, 0.5f), Pixel(0, 0, 255, 255));
    EXPECT_EQ(s.SampleBilinear(1.0f, 0.5f), Pixel(0, 0, 255, 255));
    // Beyond 1 the left sample leaves the image and the sample mode answers.
    EXPECT_EQ(s.SampleBilinear(2.0f, 0.5f), Pixel(0, 0, 127, 255));
    s.SetSampleMode(Tiled);
    EXPECT_EQ(s.SampleBilinear(2.0f, 0.5f), Pixel(0, 0, 255, 255)); // column 3 folds to 1
}

TEST(SpriteSampling, BilinearIgnoresSourceAlphaAndSurvivesNonsense) {
    Sprite s(2, 2);
    for (int i = 0; i < 4; ++i) s.Pixels()[i] = Pixel(10, 20, 30, 0);
    EXPECT_EQ(s.SampleBilinear(0.3f, 0.7f), Pixel(10, 20, 30, 255));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(s.SampleBilinear(nan, 0.5f).a, 255);
    EXPECT_EQ(s.SampleBilinear(-inf, inf).a, 255);
    EXPECT_EQ(s.SampleNearest(nan, nan), s.GetPixel(0, 0));
}

} // namespace
} // namespace dral
