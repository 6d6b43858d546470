// Pixel byte layout and conversions, and the vector operators' integer and float rules.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "engine/crc32.h"
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
    // Wrapping keeps the low byte of the truncated value at every magnitude: 1000 * 255 is
    // 255000 = 0x3E418, and -1000 * 255 ends in 0xE8.
    EXPECT_EQ(PixelFromFloats(1000.0f, -1000.0f, 0.999f, 0.004f), Pixel(0x18, 0xE8, 254, 1));
    // Beyond 2^31 a float is a multiple of 256, and nothing finite is left past 2^63; infinities
    // and NaN read as 0 too.
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(PixelFromFloats(3.0e7f, 4.0e16f, 1.0e30f, -1.0e30f), Pixel(0, 0, 0, 0));
    EXPECT_EQ(PixelFromFloats(inf, -inf, std::nanf(""), 1.0f), Pixel(0, 0, 0, 255));
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

TEST(Crc32, GivesTheStandardCheckValueAndContinuesAcrossCalls) {
    const uint8_t digits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(Crc32(0, digits, 9), 0xCBF43926u);
    EXPECT_EQ(Crc32(Crc32(0, digits, 4), digits + 4, 5), 0xCBF43926u);
    EXPECT_EQ(Crc32(0, digits, 0), 0u);
    // PNG's IEND chunk: the CRC of its type alone.
    const uint8_t iend[] = {'I', 'E', 'N', 'D'};
    EXPECT_EQ(Crc32(0, iend, 4), 0xAE426082u);
}

} // namespace
} // namespace dral
