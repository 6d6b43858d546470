// The direct writes the engine makes when Draw is its own, against the per-pixel path through an
// override: the same pixels for random primitives, blits and text in every mode, and an override
// that still sees every call, in the documented order.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <string>

#include "engine/plot.h"
#include "recording_engine.h"

namespace dral::testing {
namespace {

// Overrides Draw without changing what it does, which forces the per-pixel path.
class PassThrough : public Tesserine {
  public:
    bool Draw(int32_t x, int32_t y, Pixel p) override { return Tesserine::Draw(x, y, p); }
};

// Derives without overriding Draw, as most applications do.
class Plain : public Tesserine {
  public:
    bool OnUpdate(float) override { return true; }
};

TEST(DirectPath, IsTakenOnlyWhenDrawIsTheEnginesOwn) {
    HeadlessEngine<Plain> plain(8, 8);
    HeadlessEngine<PassThrough> overriding(8, 8);
    HeadlessEngine<Recorder> recording(8, 8);
    EXPECT_TRUE(plain.UsesEngineDraw());
    EXPECT_FALSE(overriding.UsesEngineDraw());
    EXPECT_FALSE(recording.UsesEngineDraw());
}

constexpr int32_t W = 48, H = 40;

struct Pair {
    HeadlessEngine<Plain> direct{W, H};
    HeadlessEngine<PassThrough> perPixel{W, H};
    Pair() {
        direct.Prepare();
        perPixel.Prepare();
    }
    template <class Op> void Both(Op op) {
        op(static_cast<Tesserine&>(direct));
        op(static_cast<Tesserine&>(perPixel));
    }
    bool Same() const {
        return std::memcmp(direct.GetDrawTarget()->pixels, perPixel.GetDrawTarget()->pixels,
                           size_t(W * H) * sizeof(Pixel)) == 0;
    }
};

// Random operations over and beyond the target, in random modes, from random target contents.
class RandomOps {
  public:
    explicit RandomOps(uint32_t seed) : rng(seed) {
        for (Sprite* s : {&source, &tiled})
            for (int32_t i = 0; i < s->width * s->height; ++i) s->pixels[i] = AnyPixel();
        tiled.SetSampleMode(Tiled);
    }
    std::function<void(Tesserine&)> Next(std::string& name) {
        const int32_t x1 = Coord(W), y1 = Coord(H), x2 = Coord(W), y2 = Coord(H);
        const int32_t x3 = Coord(W), y3 = Coord(H);
        const Pixel p = AnyPixel();
        const uint32_t scale = Int(0, 4);
        const auto flip = uint8_t(Int(0, 3));
        Sprite* sprite = Int(0, 1) ? &source : &tiled;
        switch (Int(0, 9)) {
        case 0:
            name = "FillRect";
            return [=](Tesserine& e) { e.FillRect(x1, y1, Int2(x2), Int2(y2), p); };
        case 1: {
            name = "DrawLine";
            const uint32_t pattern = Int(0, 1) ? 0xFFFFFFFFu : Word();
            const int32_t xEnd = Int(0, 2) ? x2 : x1; // vertical now and then
            return [=](Tesserine& e) { e.DrawLine(x1, y1, xEnd, y2, p, pattern); };
        }
        case 2:
            name = "DrawCircle";
            {
                const auto mask = Int(0, 1) ? uint8_t(0xFF) : uint8_t(Word()); // often whole
                const auto r = int32_t(Int(0, 40));
                return [=](Tesserine& e) { e.DrawCircle(x1, y1, r, p, mask); };
            }
        case 3:
            name = "FillCircle";
            {
                const auto r = int32_t(Int(0, 40));
                return [=](Tesserine& e) { e.FillCircle(x1, y1, r, p); };
            }
        case 4:
            name = "FillTriangle";
            return [=](Tesserine& e) { e.FillTriangle(x1, y1, x2, y2, x3, y3, p); };
        case 5:
            name = "DrawRect";
            return [=](Tesserine& e) { e.DrawRect(x1, y1, Int2(x2), Int2(y2), p); };
        case 6:
            name = "DrawSprite";
            return [=](Tesserine& e) { e.DrawSprite(x1, y1, sprite, scale, flip); };
        case 7:
            name = "DrawSpriteRegion";
            return [=](Tesserine& e) {
                e.DrawSpriteRegion(x1, y1, sprite, x2 - 10, y2 - 10, Int2(x3), Int2(y3), scale,
                                   flip);
            };
        case 8: {
            name = "DrawSprite of the target onto itself";
            return [=](Tesserine& e) {
                e.DrawSprite(x1 - W / 2, y1 - H / 2, e.GetDrawTarget(), 1, flip);
            };
        }
        default: {
            name = "DrawString";
            std::string text;
            for (uint32_t n = Int(0, 8); n > 0; --n)
                text += char(Int(0, 4) ? Int(32, 127) : Word());
            return [=](Tesserine& e) { e.DrawString(x1, y1, text, p, scale); };
        }
        }
    }
    void Mode(Tesserine& e, PixelMode mode, float blend) {
        e.SetPixelMode(mode);
        e.SetBlendFactor(blend);
    }
    Pixel AnyPixel() {
        const uint32_t v = Word();
        // Alpha 255 and 0 often, so that Mask writes and Alpha leaves colours alone.
        const uint32_t alpha[4] = {255, 0, v >> 24, 128};
        return Pixel(uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(alpha[(v >> 5) & 3]));
    }
    uint32_t Int(uint32_t lo, uint32_t hi) {
        return std::uniform_int_distribution<uint32_t>(lo, hi)(rng);
    }
    uint32_t Word() { return uint32_t(rng()); }
    std::mt19937 rng;

  private:
    // Mostly on or near the target, now and then far off it.
    int32_t Coord(int32_t extent) {
        if (Int(0, 15) == 0) return int32_t(Int(0, 4000)) - 2000;
        return int32_t(Int(0, uint32_t(extent) * 2)) - extent / 2;
    }
    static int32_t Int2(int32_t v) { return v - 12; }
    Sprite source{13, 9};
    Sprite tiled{5, 7};
};

TEST(DirectPath, LeavesThePixelsOfThePerPixelPathInEveryMode) {
    RandomOps ops(20261209);
    Pair pair;
    for (int round = 0; round < 3000; ++round) {
        if (round % 50 == 0) {
            const Pixel background = ops.AnyPixel();
            pair.Both([&](Tesserine& e) {
                Sprite* t = e.GetDrawTarget();
                for (int32_t i = 0; i < W * H; ++i)
                    t->pixels[i] = Pixel(background.packed + uint32_t(i) * 2654435761u);
            });
        }
        const auto mode = PixelMode(ops.Int(0, 2));
        const float blend = ops.Int(0, 3) ? 1.0f : float(ops.Int(0, 100)) / 100.0f;
        pair.Both([&](Tesserine& e) { ops.Mode(e, mode, blend); });
        std::string name;
        const auto op = ops.Next(name);
        pair.Both(op);
        ASSERT_TRUE(pair.Same()) << name << " in mode " << mode << ", round " << round;
    }
}

// The row blends (four pixels at a time where the CPU allows) against the one-pixel formula: every
// source alpha over every destination byte value, at several blend factors, at every length and
// alignment of a short row, so both the wide steps and the tail are seen.
TEST(DirectPath, RowBlendsMatchTheOnePixelBlendForEveryAlpha) {
    std::mt19937 rng(28);
    for (const float factor : {1.0f, 0.5f, 0.37f, 0.0f, 0.999f}) {
        for (uint32_t alpha = 0; alpha < 256; ++alpha) {
            Pixel source[40], destination[40], filled[40], expected[40], expectedFill[40];
            const Pixel colour((uint32_t(rng()) & 0x00FFFFFFu) | alpha << 24);
            for (int i = 0; i < 40; ++i) {
                const uint32_t v = uint32_t(rng());
                source[i] = Pixel((v & 0x00FFFFFFu) | (i % 5 ? alpha << 24 : v & 0xFF000000u));
                destination[i] = filled[i] = Pixel(uint32_t(rng()) + uint32_t(alpha * i));
                expected[i] = plot::Blend(source[i], destination[i], factor);
                expectedFill[i] = plot::Blend(colour, destination[i], factor);
            }
            const int from = int(alpha % 4), n = int(alpha % 37);
            plot::BlendRow(destination + from, source + from, n, factor);
            plot::BlendFill(filled + from, colour, n, factor);
            for (int i = from; i < from + n; ++i) {
                ASSERT_EQ(destination[i].packed, expected[i].packed)
                    << "alpha " << alpha << ", factor " << factor << ", pixel " << i;
                ASSERT_EQ(filled[i].packed, expectedFill[i].packed)
                    << "alpha " << alpha << ", factor " << factor << ", pixel " << i;
            }
        }
    }
}

TEST(DirectPath, WrapsCoordinatesBeyondTheInt32RangeLikeThePerPixelPath) {
    Pair pair;
    Sprite s(4, 3);
    for (int32_t i = 0; i < 12; ++i) s.pixels[i] = Pixel(uint8_t(i * 20), 7, 9, 255);
    constexpr int32_t Edge = INT32_MAX - 6;
    for (PixelMode mode : {Normal, Alpha}) {
        pair.Both([&](Tesserine& e) {
            e.SetPixelMode(mode);
            e.DrawSprite(Edge, 2, &s, 3);
            e.DrawSprite(3, Edge, &s, 2, SpriteFlip::Vertical);
            e.DrawString(Edge, 20, "Wrap", Pixel(200, 100, 0, 160), 2);
            e.DrawString(Edge + 3, 30, "Wrap", White);
            e.FillRect(INT32_MAX - 2, 5, 10, 10, Red);
        });
        EXPECT_TRUE(pair.Same()) << mode;
    }
}

// Far-reaching shapes whose per-pixel walk is still affordable: the direct walks, which skip what
// cannot land on the target, leave the same pixels in every mode.
TEST(DirectPath, SkipsOnlyWhatCannotLandOnTheTarget) {
    const std::function<void(Tesserine&)> ops[] = {
        [](Tesserine& e) { e.DrawLine(-300000, 5, 300000, 30, Red); },
        [](Tesserine& e) { e.DrawLine(300000, 5, -300000, 31, Red, 0xF0F0F00Fu); },
        [](Tesserine& e) { e.DrawLine(7, -400000, 30, 400000, Red); },
        [](Tesserine& e) { e.DrawLine(30, 400000, 29, -400000, Red, 0x12345678u); },
        [](Tesserine& e) { e.DrawLine(-5, -400000, -5, 400000, Red); },
        [](Tesserine& e) { e.DrawLine(20, -400000, 20, 400000, Red, 0xFFFF0000u); },
        [](Tesserine& e) { e.DrawLine(-400000, 7, 400000, 7, Red, 0xAAAAAAAAu); },
        [](Tesserine& e) { e.DrawLine(-100003, -100000, 100000, 100003, Red); },
        [](Tesserine& e) { e.DrawCircle(20, 20, 100000, Red); },
        [](Tesserine& e) { e.DrawCircle(20 - 70000, 20, 70000, Red, 0x3C); },
        [](Tesserine& e) { e.DrawCircle(-70710, -70710, 100000, Red); },
        [](Tesserine& e) { e.DrawCircle(INT32_MAX - 20, 10, 20000, Red); },
        [](Tesserine& e) { e.FillCircle(20, 20, 2000, Red); },
        [](Tesserine& e) { e.FillCircle(-1450, 20, 1480, Red); },
        [](Tesserine& e) { e.FillCircle(24, 1990, 1975, Red); },
        [](Tesserine& e) { e.FillCircle(-1000, -1000, 1430, Red); },
        [](Tesserine& e) { e.DrawRect(-300000, 5, 600000, 30, Red); },
        [](Tesserine& e) { e.FillTriangle(-5, -100000, 40, 10, 20, 100000, Red); },
        [](Tesserine& e) { e.FillTriangle(10, -100000, -30, 60, 50, 100000, Red); },
        [](Tesserine& e) { e.FillTriangle(-100000, 5, 100000, 20, 10, 30, Red); },
        [](Tesserine& e) { e.FillTriangle(-500, -20000, 60, 20, 30, 45, Red); },
        [](Tesserine& e) { e.FillTriangle(30, -20000, 500, 30, -100, 30, Red); },
        [](Tesserine& e) { e.FillTriangle(-400, -20000, -390, -15000, 40, 35, Red); },
    };
    for (PixelMode mode : {Normal, Mask, Alpha}) {
        for (size_t k = 0; k < std::size(ops); ++k) {
            Pair pair;
            pair.Both([&](Tesserine& e) {
                e.Clear(Black);
                e.SetPixelMode(mode);
                e.SetBlendFactor(0.5f);
                ops[k](e);
            });
            EXPECT_TRUE(pair.Same()) << "shape " << k << " in mode " << mode;
        }
    }
}

// The pixels of the 64 x 48 target, for exact expectations.
std::vector<Pixel> PixelsOf(Tesserine& e) {
    const Sprite& t = *e.GetDrawTarget();
    return {t.pixels, t.pixels + t.width * t.height};
}

// The calls that once walked for minutes: each now costs the target's size (the test's time
// limit guards against a hang) and leaves the pixels the walk defines.
TEST(DirectPath, ExtremeShapesCostTheTargetAndKeepTheirPixels) {
    HeadlessEngine<Plain> e(64, 48);
    e.Prepare();
    const Pixel ground{1, 2, 3, 255};
    auto only = [&](const std::function<bool(int32_t, int32_t)>& lit, Pixel colour) {
        std::vector<Pixel> want;
        for (int32_t y = 0; y < 48; ++y)
            for (int32_t x = 0; x < 64; ++x) want.push_back(lit(x, y) ? colour : ground);
        return want;
    };
    auto fresh = [&](PixelMode mode) {
        e.SetPixelMode(mode);
        e.Clear(ground);
    };
    // A blend of Red at half strength once and twice, as the walks leave them.
    fresh(Alpha);
    e.SetBlendFactor(0.5f);
    e.Draw(0, 0, Red);
    const Pixel once = e.GetDrawTarget()->GetPixel(0, 0);
    e.Draw(0, 0, Red);
    const Pixel twice = e.GetDrawTarget()->GetPixel(0, 0);

    // The whole target lies inside: each row spanned once, the centre row twice when blending.
    for (const Vec2i c : {Vec2i{32, 24}, Vec2i{0, 0}}) {
        fresh(Normal);
        e.FillCircle(c.x, c.y, INT32_MAX, Red);
        EXPECT_EQ(PixelsOf(e), only([](int32_t, int32_t) { return true; }, Red));
        fresh(Alpha);
        e.FillCircle(c.x, c.y, INT32_MAX, Red);
        const std::vector<Pixel> blended = PixelsOf(e);
        for (int32_t y = 0; y < 48; ++y)
            ASSERT_EQ(blended[size_t(y) * 64 + 5], y == c.y ? twice : once) << y;
    }
    // The whole target lies inside, and each of its rows is spanned once.
    fresh(Normal);
    e.FillTriangle({INT32_MIN, INT32_MIN}, {INT32_MAX, 0}, {0, INT32_MAX}, Red);
    EXPECT_EQ(PixelsOf(e), only([](int32_t, int32_t) { return true; }, Red));
    fresh(Alpha);
    e.FillTriangle({INT32_MIN, INT32_MIN}, {INT32_MAX, 0}, {0, INT32_MAX}, Red);
    EXPECT_EQ(PixelsOf(e), only([](int32_t, int32_t) { return true; }, once));
    // Three rows crossed by edges of 2^31 and more columns: row 0 ends at x -1, where the
    // short edge wraps; rows 1 and 2 span the target.
    fresh(Normal);
    e.FillTriangle({INT32_MIN, 0}, {INT32_MAX, 1}, {0, 2}, Red);
    EXPECT_EQ(PixelsOf(e), only([](int32_t, int32_t y) { return y == 1 || y == 2; }, Red));

    // The outline runs upright for 65536 rows either side of row 24: its right side through
    // column 32, and its left side 2^32 - 2 further left, which wraps to column 34.
    fresh(Normal);
    e.DrawCircle(32, 24, INT32_MAX, Red);
    EXPECT_EQ(PixelsOf(e), only([](int32_t, int32_t) { return false; }, Red));
    e.DrawCircle(32 - INT32_MAX, 24, INT32_MAX, Red);
    EXPECT_EQ(PixelsOf(e), only([](int32_t x, int32_t) { return x == 32 || x == 34; }, Red));
    // From INT32_MIN up, x steps to 1 at the 2^31st candidate: row 0.
    fresh(Normal);
    e.DrawLine(0, INT32_MIN, 1, INT32_MAX, Red);
    EXPECT_EQ(PixelsOf(e), only([](int32_t x, int32_t) { return x == 1; }, Red));
    e.DrawLine(INT32_MIN, 3, INT32_MAX, 4, Green, 0xFFFF0000u);
    // Column x is candidate 2^31 + x, which takes bit 31 - x % 32, and row 4 starts at x 0.
    for (int32_t x = 0; x < 64; ++x) {
        ASSERT_EQ(e.GetDrawTarget()->GetPixel(x, 4), x % 32 < 16 ? Green : ground) << x;
        ASSERT_EQ(e.GetDrawTarget()->GetPixel(x, 3), x == 1 ? Red : ground) << x;
    }

    // Every block of a 2^32 - 1 scale covers the whole target; the last one drawn, the sprite's
    // bottom-right pixel (bottom-left when mirrored), is what stays.
    Sprite s(8, 8);
    for (int32_t i = 0; i < 64; ++i) s.pixels[i] = Pixel(uint8_t(i), 9, 9, 255);
    fresh(Normal);
    e.DrawSprite(0, 0, &s, 0xFFFFFFFF);
    EXPECT_EQ(PixelsOf(e), only([](int32_t, int32_t) { return true; }, s.GetPixel(7, 7)));
    e.DrawSprite(0, 0, &s, 0xFFFFFFFF, SpriteFlip::Horizontal);
    EXPECT_EQ(PixelsOf(e), only([](int32_t, int32_t) { return true; }, s.GetPixel(0, 7)));
    // A 2^31 - 1 scale: glyph columns and rows 0, 2, 4, 6 wrap onto the whole target, the odd
    // ones land beyond int32 and off it. 'W' has ink at (2, 6); the checkered 127 has none in an
    // even column and row.
    fresh(Normal);
    e.DrawString(0, 0, "W", White, 0x7FFFFFFF);
    EXPECT_EQ(PixelsOf(e), only([](int32_t, int32_t) { return true; }, White));
    fresh(Normal);
    e.DrawString(0, 0, "\x7F", White, 0x7FFFFFFF);
    EXPECT_EQ(PixelsOf(e), only([](int32_t, int32_t) { return false; }, White));
}

// The walks the design gives, written out plainly, to compare an override's record with.
std::vector<Plot> FillRectOrder(int32_t x, int32_t y, int32_t w, int32_t h) {
    std::vector<Plot> v;
    for (int32_t i = std::max(x, 0); i < std::min(x + w, W); ++i)
        for (int32_t j = std::max(y, 0); j < std::min(y + h, H); ++j) v.emplace_back(i, j);
    return v;
}

std::vector<Plot> BlitOrder(int32_t x, int32_t y, int32_t w, int32_t h, int32_t scale) {
    std::vector<Plot> v;
    for (int32_t i = 0; i < w; ++i)
        for (int32_t j = 0; j < h; ++j)
            for (int32_t a = 0; a < scale; ++a)
                for (int32_t b = 0; b < scale; ++b)
                    v.emplace_back(x + i * scale + a, y + j * scale + b);
    return v;
}

// Coordinates past int32 wrap on their way into Draw.
Plot Wrapped(int64_t x, int64_t y) {
    return {static_cast<int32_t>(x), static_cast<int32_t>(y)};
}

std::vector<Plot> TextOrder(const Sprite& sheet, int32_t x, int32_t y, const std::string& text,
                            int32_t scale) {
    std::vector<Plot> v;
    int64_t sx = 0, sy = 0;
    for (const char c : text) {
        if (c == '\n') {
            sx = 0;
            sy += 8 * scale;
            continue;
        }
        // Bytes outside 32..127 have no glyph on the sheet, and take a cell all the same.
        const int32_t cell = static_cast<uint8_t>(c) - 32;
        for (int32_t gx = 0; gx < 8; ++gx)
            for (int32_t gy = 0; gy < 8; ++gy)
                if (cell >= 0 && cell < 96 &&
                    sheet.GetPixel(8 * (cell % 16) + gx, 8 * (cell / 16) + gy).r != 0)
                    for (int32_t a = 0; a < scale; ++a)
                        for (int32_t b = 0; b < scale; ++b)
                            v.push_back(Wrapped(int64_t(x) + sx + gx * scale + a,
                                                int64_t(y) + sy + gy * scale + b));
        sx += 8 * scale;
    }
    return v;
}

// The midpoint walk, each step's octants clockwise from twelve o'clock as the mask picks them.
std::vector<Plot> CircleOrder(int32_t x, int32_t y, int32_t radius, uint8_t mask) {
    std::vector<Plot> v;
    int64_t i = 0, j = radius, d = 3 - 2 * int64_t(radius);
    while (j >= i) {
        const Plot points[8] = {Wrapped(x + i, y - j), Wrapped(x + j, y - i), Wrapped(x + j, y + i),
                                Wrapped(x + i, y + j), Wrapped(x - i, y + j), Wrapped(x - j, y + i),
                                Wrapped(x - j, y - i), Wrapped(x - i, y - j)};
        for (int k = 0; k < 8; ++k)
            if (mask >> k & 1) v.push_back(points[k]);
        if (d < 0) {
            d += 4 * i + 6;
        } else {
            d += 4 * (i - j) + 10;
            --j;
        }
        ++i;
    }
    return v;
}

TEST(DirectPath, AnOverrideStillSeesEveryPixelInOrderInEveryMode) {
    Sprite s(3, 2);
    for (PixelMode mode : {Normal, Mask, Alpha, Custom}) {
        DrawingEngine e(W, H);
        e.SetPixelMode(mode);
        e.FillRect(-2, 3, 9, 4, Red);
        EXPECT_EQ(e.Take(), FillRectOrder(-2, 3, 9, 4)) << mode;
        e.DrawSprite(40, 30, &s, 3, SpriteFlip::Horizontal);
        EXPECT_EQ(e.Take(), BlitOrder(40, 30, 3, 2, 3)) << mode;
        // Text at both scales, opaque and translucent, over the edges and past int32, with
        // newlines and bytes that have no glyph.
        struct Text {
            int32_t x, y;
            const char* text;
            uint32_t scale;
        };
        const Text texts[] = {
            {-3, 1, "Ag~", 2},           {-5, -3, "Hi\n\t\xC8~\n!\x7F", 1},
            {W - 10, H - 4, "Wy", 1},    {INT32_MAX - 3, INT32_MIN + 2, "Wr\nap", 1},
            {2, INT32_MAX - 4, "gq", 1},
        };
        for (const Text& t : texts)
            for (const Pixel colour : {Pixel(1, 2, 3, 100), Red}) {
                e.DrawString(t.x, t.y, t.text, colour, t.scale);
                EXPECT_EQ(e.Take(), TextOrder(*e.FontSheet(), t.x, t.y, t.text, int32_t(t.scale)))
                    << mode << ' ' << t.text;
            }
        // Outlines whole and masked, over the edges and past int32.
        struct Outline {
            int32_t x, y, radius;
            uint8_t mask;
        };
        const Outline outlines[] = {
            {5, 6, 9, 0xFF},
            {20, 20, 1, 0xFF},
            {W + 3, 10, 13, 0xFF},
            {INT32_MAX - 2, 20, 6, 0xFF},
            {30, INT32_MIN + 1, 7, 0xFF},
            {20, 20, 7, 0x5A},
        };
        for (const Outline& c : outlines) {
            e.DrawCircle(c.x, c.y, c.radius, Red, c.mask);
            EXPECT_EQ(e.Take(), CircleOrder(c.x, c.y, c.radius, c.mask))
                << mode << " circle at " << c.x << ", " << c.y;
        }
        EXPECT_EQ(e.GetPixelMode(), mode);
        // Every candidate of a solid line, on or off target.
        e.DrawLine(-5, 2, 60, 2, Red);
        EXPECT_EQ(e.Take().size(), 66u) << mode;
    }
}

TEST(DirectPath, CustomModeStillCallsTheFunctionForEveryPixel) {
    HeadlessEngine<Plain> e(W, H);
    e.Prepare();
    int calls = 0;
    e.SetPixelMode([&](int32_t, int32_t, const Pixel& s, const Pixel&) {
        ++calls;
        return s;
    });
    e.FillRect(0, 0, 4, 5, Red);
    e.FillCircle(10, 10, 3, Red);
    // 4 x 5, and the radius-3 circle's four spans in each of its three passes.
    EXPECT_EQ(calls, 20 + (1 + 7 + 1 + 7) + (3 + 7 + 3 + 7) + (5 + 5 + 5 + 5));
}

} // namespace
} // namespace dral::testing
