// Pixel byte layout and conversions, and the vector operators' integer and float rules.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/pixel.h"
#include "engine/vec2.h"

namespace dral {
namespace {

TEST(Pixel, IsAnRgbaByteStreamAndALittleEndianWord) {
    const Pixel p(10, 20, 30, 40);
    uint8_t bytes[4];
    std::memcpy(bytes, &p, 4);
    EXPECT_EQ(bytes[0], 10);
    EXPECT_EQ(bytes[3], 40);
    EXPECT_EQ(p.packed, 0x281E140Au);
    EXPECT_EQ(Pixel(0xFF000000u), Black);
    EXPECT_EQ(Pixel(), Black);
    EXPECT_NE(Black, Transparent);
    EXPECT_EQ(VeryDarkMagenta, Pixel(64, 0, 64, 255));
}

TEST(Pixel, FromFloatsTruncatesAndWraps) {
    EXPECT_EQ(PixelFromFloats(1.0f, 0.5f, 0.0f, 1.0f), Pixel(255, 127, 0, 255));
    EXPECT_EQ(PixelFromFloats(0.25f, 1.5f, -0.1f, 2.0f), Pixel(63, 126, 231, 254));
}

TEST(Vec2, IntegerAndFloatOperators) {
    EXPECT_EQ(Vec2i(-7, 7) / 2, Vec2i(-3, 3));
    EXPECT_EQ(Vec2i(2, 3) * Vec2i(4, 5), Vec2i(8, 15));
    EXPECT_EQ(Vec2i(2, 3) - Vec2i(4, 5), Vec2i(-2, -2));
    EXPECT_EQ(2.0f / Vec2i(800, 600), Vec2i(0, 0));
    EXPECT_EQ(1000.0f / Vec2i(3, -7), Vec2i(333, -142));
    EXPECT_FLOAT_EQ(Vec2f(3, 4).Length(), 5.0f);
    Vec2f v = 2.0f * Vec2f(1.5f, -1) + Vec2f(1, 1) * Vec2f(2, 3) - Vec2f(0.5f, 0);
    v *= 2.0f;
    EXPECT_FLOAT_EQ(v.x, 9.0f);
    EXPECT_FLOAT_EQ(v.y, 2.0f);
    const Vec2f f = Vec2i(3, -4);
    EXPECT_FLOAT_EQ(f.y, -4.0f);
}

} // namespace
} // namespace dral
