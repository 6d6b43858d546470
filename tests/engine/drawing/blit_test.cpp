// Sprite blits and text: flips, whole-number scaling, regions past the sprite's edge, and
// DrawString's layout (pen, newline, scale, skipped bytes) with its pixel-mode switch and restore,
// and TextSize measuring the same layout.
#include <gtest/gtest.h>

#include "recording_engine.h"

namespace dral::testing {
namespace {

constexpr Pixel A{1, 0, 0, 255}, B{2, 0, 0, 255}, C{3, 0, 0, 255}, D{4, 0, 0, 255};

void Fill2x2(Sprite& s) {
    s.SetPixel(0, 0, A);
    s.SetPixel(1, 0, B);
    s.SetPixel(0, 1, C);
    s.SetPixel(1, 1, D);
}

TEST(Blits, FlipsMirrorEachAxis) {
    DrawingEngine e;
    Sprite s(2, 2);
    Fill2x2(s);
    Sprite* t = e.GetDrawTarget();
    auto at = [&](int x, int y) { return t->GetPixel(x, y); };
    e.DrawSprite(0, 0, &s, 1, SpriteFlip::Horizontal | SpriteFlip::Vertical);
    EXPECT_EQ((std::vector<Pixel>{at(0, 0), at(1, 0), at(0, 1), at(1, 1)}),
              (std::vector<Pixel>{D, C, B, A}));
    e.DrawSprite({4, 0}, &s, 1, SpriteFlip::Horizontal);
    EXPECT_EQ((std::vector<Pixel>{at(4, 0), at(5, 0), at(4, 1), at(5, 1)}),
              (std::vector<Pixel>{B, A, D, C}));
    e.DrawSprite(8, 0, &s, 1, SpriteFlip::Vertical);
    EXPECT_EQ((std::vector<Pixel>{at(8, 0), at(9, 0), at(8, 1), at(9, 1)}),
              (std::vector<Pixel>{C, D, A, B}));
    // Columns are the outer loop.
    e.Take();
    e.DrawSprite(0, 10, &s);
    EXPECT_EQ(e.Take(), (std::vector<Plot>{{0, 10}, {0, 11}, {1, 10}, {1, 11}}));
}

TEST(Blits, ScaleEnlargesIntoBlocksAndZeroActsAsOne) {
    DrawingEngine e;
    Sprite dot(1, 1);
    dot.SetPixel(0, 0, Red);
    e.DrawSprite(5, 6, &dot, 3);
    std::vector<Plot> block;
    for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b) block.emplace_back(5 + a, 6 + b);
    EXPECT_EQ(e.Take(), block);
    e.DrawSprite(5, 6, &dot, 0);
    EXPECT_EQ(e.Take(), (std::vector<Plot>{{5, 6}}));

    Sprite s(2, 2);
    Fill2x2(s);
    e.DrawSprite(20, 20, &s, 2, SpriteFlip::Horizontal);
    EXPECT_EQ(e.GetDrawTarget()->GetPixel(20, 21), B);
    EXPECT_EQ(e.GetDrawTarget()->GetPixel(23, 23), C);
    EXPECT_EQ(e.GetDrawTarget()->GetPixel(24, 20), Black);
    e.DrawSprite(0, 0, nullptr, 2);
    e.DrawSpriteRegion(0, 0, nullptr, 0, 0, 2, 2);
}

TEST(Blits, RegionPastTheSpriteReadsTheSampleMode) {
    DrawingEngine e;
    Sprite s(2, 2);
    Fill2x2(s);
    Sprite* t = e.GetDrawTarget();
    e.DrawSpriteRegion(0, 0, &s, 1, 0, 2, 1);
    EXPECT_EQ(t->GetPixel(0, 0), B);
    EXPECT_EQ(t->GetPixel(1, 0), Transparent); // Normal mode writes what it read
    e.Clear(Black);
    e.SetPixelMode(Mask);
    e.DrawSpriteRegion({0, 0}, &s, {1, 0}, {2, 1});
    EXPECT_EQ(t->GetPixel(0, 0), B);
    EXPECT_EQ(t->GetPixel(1, 0), Black); // Mask skips it
    e.SetPixelMode(Normal);
    s.SetSampleMode(Tiled);
    e.DrawSpriteRegion(0, 2, &s, 1, 0, 3, 1, 1, SpriteFlip::Horizontal);
    EXPECT_EQ(t->GetPixel(0, 2), B); // source column 3 folds to 1
    EXPECT_EQ(t->GetPixel(1, 2), A); // column 2 folds to 0
    EXPECT_EQ(t->GetPixel(2, 2), B);
}

// The plots of text drawn alone, shifted by (dx, dy).
std::vector<Plot> TextPlots(DrawingEngine& e, int32_t x, int32_t y, const std::string& text,
                            uint32_t scale, int32_t dx = 0, int32_t dy = 0) {
    e.Take();
    e.DrawString(x, y, text, White, scale);
    std::vector<Plot> plots = e.Take();
    for (Plot& p : plots) p = {p.first + dx, p.second + dy};
    return plots;
}

std::vector<Plot> Joined(std::vector<Plot> a, const std::vector<Plot>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(Text, PenAdvancesByCellsAndNewlineReturnsDown) {
    DrawingEngine e(128, 96);
    const auto a = TextPlots(e, 3, 4, "A", 2), b16 = TextPlots(e, 19, 4, "B", 2);
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(a.size(), 4 * TextPlots(e, 3, 4, "A", 1).size());
    EXPECT_EQ(TextPlots(e, 3, 4, "AB", 2), Joined(a, b16));
    EXPECT_EQ(TextPlots(e, 3, 4, "A\nB", 2), Joined(a, TextPlots(e, 3, 20, "B", 2)));
    // Tabs and bytes above 127 draw nothing but take a cell.
    EXPECT_EQ(TextPlots(e, 3, 4, "\tB", 2), b16);
    EXPECT_EQ(TextPlots(e, 3, 4,
                        "\xC8"
                        "B",
                        2),
              b16);
    // Scale 0 draws glyphs at size 1 without moving the pen.
    EXPECT_EQ(TextPlots(e, 3, 4, "AB", 0),
              Joined(TextPlots(e, 3, 4, "A", 1), TextPlots(e, 3, 4, "B", 1)));
    EXPECT_TRUE(TextPlots(e, 3, 4, " ", 1).empty());
}

TEST(Text, SizeCountsCellsAndLinesAsTheDrawingDoes) {
    struct Case {
        const char* text;
        uint32_t scale;
        Vec2i size;
    };
    const Case cases[] = {
        {"", 1, {0, 0}},
        {"A", 1, {8, 8}},
        {"Hello", 2, {80, 16}},
        {"ab\ncdef", 1, {32, 16}},
        {"abc\n", 3, {72, 48}},
        {"\n", 1, {0, 16}},
        {"\tx\xC8", 1, {24, 8}},
        {"AB\nC", 0, {8, 8}},
        {"\n\n", 0, {0, 0}},
        {"W", 0x80000000u, {0x7FFFFFFF, 0x7FFFFFFF}}, // clamped, not wrapped
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(TextSize(c.text, c.scale), c.size);
    }
    // What DrawString plots stays inside the measured box, and its last line and widest column
    // reach into the box's last cells.
    DrawingEngine e(128, 96);
    for (const char* text : {"MW\nW", "W\nMMW", "ab\tW\n\nW"}) {
        for (const uint32_t scale : {1u, 2u}) {
            SCOPED_TRACE(::testing::Message() << text << " at " << scale);
            const Vec2i size = TextSize(text, scale);
            const int32_t cell = 8 * int32_t(scale);
            int32_t right = 0, bottom = 0;
            for (const Plot& p : TextPlots(e, 3, 4, text, scale, -3, -4)) {
                EXPECT_TRUE(p.first >= 0 && p.first < size.x && p.second >= 0 && p.second < size.y);
                right = std::max(right, p.first);
                bottom = std::max(bottom, p.second);
            }
            EXPECT_GE(right, size.x - cell);
            EXPECT_GE(bottom, size.y - cell);
        }
    }
}

TEST(Text, GlyphsMatchTheFontSheetAndTouchOnlyInk) {
    DrawingEngine e;
    e.Clear(Blue);
    e.DrawString(1, 2, "H", Red);
    const Sprite* sheet = e.FontSheet();
    const int32_t cellX = 8 * (('H' - 32) % 16), cellY = 8 * (('H' - 32) / 16);
    int ink = 0;
    for (int gx = 0; gx < 8; ++gx) {
        for (int gy = 0; gy < 8; ++gy) {
            const bool on = sheet->GetPixel(cellX + gx, cellY + gy).r != 0;
            ink += on;
            EXPECT_EQ(e.GetDrawTarget()->GetPixel(1 + gx, 2 + gy), on ? Red : Blue);
        }
    }
    EXPECT_GT(ink, 10);
}

TEST(Text, ModeIsSwitchedForTheStringAndRestored) {
    DrawingEngine e;
    int calls = 0;
    e.SetPixelMode([&](int32_t, int32_t, const Pixel&, const Pixel&) {
        ++calls;
        return Green;
    });
    e.DrawString(0, 0, "I", Red);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(e.GetPixelMode(), Custom);
    EXPECT_EQ(e.GetDrawTarget()->GetPixel(3, 0), Red); // top of the I

    e.SetPixelMode(Normal);
    e.Clear(Pixel(0, 0, 255, 255));
    e.DrawString(0, 0, "I", Pixel(255, 0, 0, 128));
    EXPECT_EQ(e.GetPixelMode(), Normal);
    EXPECT_EQ(e.GetDrawTarget()->GetPixel(3, 0), Pixel(128, 0, 126, 255));
    EXPECT_EQ(e.GetDrawTarget()->GetPixel(0, 0), Blue);
}

} // namespace
} // namespace dral::testing
