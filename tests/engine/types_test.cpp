// Pixel byte layout and conversions, the vector operators' integer and float rules, the vector
// helpers, and the edge rules of the shape overlap tests.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "engine/crc32.h"
#include "engine/pixel.h"
#include "engine/shapes.h"
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

TEST(Vec2, HelpersOnFloatsAndIntegers) {
    const Vec2f a(3, 4), b(-2, 1);
    EXPECT_FLOAT_EQ(a.LengthSquared(), 25.0f);
    EXPECT_FLOAT_EQ(a.Dot(b), -2.0f);
    EXPECT_FLOAT_EQ(a.Cross(b), 11.0f);
    // A quarter turn clockwise on screen: right becomes down; it is perpendicular and keeps length.
    EXPECT_FLOAT_EQ(Vec2f(1, 0).Perpendicular().y, 1.0f);
    EXPECT_FLOAT_EQ(a.Perpendicular().Dot(a), 0.0f);
    EXPECT_GT(a.Cross(a.Perpendicular()), 0.0f);
    const Vec2f n = a.Normalised();
    EXPECT_FLOAT_EQ(n.x, 0.6f);
    EXPECT_FLOAT_EQ(n.Length(), 1.0f);
    EXPECT_EQ(Vec2f().Normalised().x, 0.0f);          // no NaN from a zero vector
    EXPECT_EQ(Vec2f(1e-30f, 0).Normalised().x, 0.0f); // its square underflows to 0
    // Lerp lands exactly on its ends and extrapolates beyond them.
    const Vec2f far(0.1f, 1e8f);
    EXPECT_EQ(Lerp(a, far, 1.0f).x, far.x);
    EXPECT_EQ(Lerp(a, far, 1.0f).y, far.y);
    EXPECT_EQ(Lerp(a, far, 0.0f).y, a.y);
    EXPECT_FLOAT_EQ(Lerp(a, b, 0.5f).x, 0.5f);
    EXPECT_FLOAT_EQ(Lerp(a, b, 2.0f).y, -2.0f);
    // Integers work in 64 bits, so the largest components neither overflow nor lose digits.
    constexpr int32_t Big = std::numeric_limits<int32_t>::max();
    constexpr int32_t Small = std::numeric_limits<int32_t>::min();
    EXPECT_EQ(Vec2i(Small, Big).LengthSquared(), int64_t{Small} * Small + int64_t{Big} * Big);
    EXPECT_EQ(Vec2i(Big, 1).Dot(Vec2i(Big, -1)), int64_t{Big} * Big - 1);
    EXPECT_EQ(Vec2i(Big, Small).Cross(Vec2i(Small, Big)),
              int64_t{Big} * Big - int64_t{Small} * Small);
    EXPECT_EQ(Vec2i(2, -5).Perpendicular(), Vec2i(5, 2));
    EXPECT_EQ(Vec2i(0, Small).Perpendicular(), Vec2i(Small, 0));
    EXPECT_FLOAT_EQ(Vec2i(-6, 8).Length(), 10.0f);
}

// Each case: two shapes, what the test answers, and the rule it pins.
TEST(Shapes, EdgeRules) {
    const Rect cell{{0, 0}, {10, 10}};
    struct RectCase {
        Rect other;
        bool overlaps;
    };
    const RectCase rects[] = {
        {{{5, 5}, {10, 10}}, true},      // corner inside
        {{{10, 0}, {10, 10}}, false},    // shares the right edge
        {{{0, 10}, {10, 10}}, false},    // shares the bottom edge
        {{{-10, -10}, {10, 10}}, false}, // shares a corner
        {{{9.5f, 9.5f}, {1, 1}}, true},  // a sliver past the corner
        {{{-5, -5}, {30, 30}}, true},    // encloses it
        {{{2, 2}, {0, 5}}, false},       // empty: no width
        {{{2, 2}, {5, -1}}, false},      // empty: negative height
    };
    for (const RectCase& c : rects) {
        SCOPED_TRACE(testing::Message() << c.other.pos.x << "," << c.other.pos.y);
        EXPECT_EQ(Overlaps(cell, c.other), c.overlaps);
        EXPECT_EQ(Overlaps(c.other, cell), c.overlaps);
    }

    struct PointCase {
        Vec2f point;
        bool inRect, inCircle;
    };
    const Circle disc{{0, 0}, 5};
    const PointCase points[] = {
        {{0, 0}, true, true},          // top-left corner, circle's centre
        {{9.99f, 9.99f}, true, false}, // just inside the rectangle's far corner
        {{10, 5}, false, false},       // right edge
        {{5, 10}, false, false},       // bottom edge
        {{3, 4}, true, false},         // on the circle: distance equals the radius
        {{3, 3.99f}, true, true},      // just inside it
        {{-0.01f, 0}, false, true},    // left of the rectangle
    };
    for (const PointCase& c : points) {
        SCOPED_TRACE(testing::Message() << c.point.x << "," << c.point.y);
        EXPECT_EQ(Contains(cell, c.point), c.inRect);
        EXPECT_EQ(Contains(disc, c.point), c.inCircle);
    }
    EXPECT_FALSE(Contains(Circle{{0, 0}, 0}, {0, 0})); // a zero radius holds nothing
    EXPECT_FALSE(Contains(Rect{{0, 0}, {0, 0}}, {0, 0}));

    struct CircleCase {
        Circle other;
        bool withDisc, withCell;
    };
    const CircleCase circles[] = {
        {{{8, 0}, 3.01f}, true, true},   // overlaps both a little
        {{{8, 6}, 5}, false, true},      // touches the disc: 10 apart, radii 5 + 5
        {{{15, 5}, 5}, false, false},    // rests on the rectangle's right side
        {{{15, 5}, 5.01f}, false, true}, // presses into it
        {{{13, 14}, 5}, false, false},   // rests on its corner: 3-4-5 to (10, 10)
        {{{13, 14}, 5.01f}, false, true}, {{{5, 5}, 1}, false, true}, // inside the rectangle
        {{{5, 5}, 0}, false, false},                                  // zero radius
        {{{0, 0}, -1}, false, false},                                 // negative radius
    };
    for (const CircleCase& c : circles) {
        SCOPED_TRACE(testing::Message()
                     << c.other.center.x << "," << c.other.center.y << " r " << c.other.radius);
        EXPECT_EQ(Overlaps(disc, c.other), c.withDisc);
        EXPECT_EQ(Overlaps(c.other, disc), c.withDisc);
        EXPECT_EQ(Overlaps(cell, c.other), c.withCell);
        EXPECT_EQ(Overlaps(c.other, cell), c.withCell);
    }
    EXPECT_FALSE(Overlaps(Rect{{0, 0}, {0, 10}}, Circle{{0, 5}, 3})); // an empty rectangle
}

} // namespace
} // namespace dral
