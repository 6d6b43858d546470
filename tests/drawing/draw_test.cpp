// Pixel modes and the line, circle and rectangle primitives: exact plotted sets and their
// order-independent rules (tie-breaks, pattern phase, octant masks, double plots, clipping).
#include <gtest/gtest.h>

#include <limits>

#include "recording_engine.h"

namespace dral::testing {
namespace {

using Plots = std::vector<Plot>;

TEST(PixelModes, MaskWritesOnlyOpaquePixels) {
    DrawingEngine e;
    e.SetPixelMode(Mask);
    EXPECT_FALSE(e.Draw(1, 1, Pixel(255, 0, 0, 254)));
    EXPECT_EQ(e.GetDrawTarget()->GetPixel(1, 1), Black);
    EXPECT_TRUE(e.Draw({1, 1}, Red));
    EXPECT_EQ(e.GetDrawTarget()->GetPixel(1, 1), Red);
    EXPECT_FALSE(e.Draw(64, 0, Red));
}

TEST(PixelModes, AlphaBlendTruncatesEachChannelAndIsOpaque) {
    DrawingEngine e;
    Sprite* t = e.GetDrawTarget();
    e.SetPixelMode(Alpha);
    t->SetPixel(0, 0, Pixel(0, 0, 255, 255));
    EXPECT_TRUE(e.Draw(0, 0, Pixel(255, 0, 0, 128)));
    EXPECT_EQ(t->GetPixel(0, 0), Pixel(128, 0, 126, 255));
    t->SetPixel(1, 0, Pixel(100, 100, 100, 255));
    e.Draw(1, 0, Pixel(200, 100, 50, 51));
    EXPECT_EQ(t->GetPixel(1, 0), Pixel(120, 100, 90, 255));
    t->SetPixel(2, 0, Pixel(1, 2, 3, 0));
    e.Draw(2, 0, Pixel(200, 200, 200, 0));
    EXPECT_EQ(t->GetPixel(2, 0), Pixel(1, 2, 3, 255));
    EXPECT_FALSE(e.Draw(-1, 0, Red));

    e.SetBlendFactor(0.5f);
    t->SetPixel(3, 0, Blue);
    e.Draw(3, 0, Red);
    EXPECT_EQ(t->GetPixel(3, 0), Pixel(127, 0, 127, 255));
}

TEST(PixelModes, BlendFactorIsKeptWithinZeroToOne) {
    DrawingEngine e;
    e.SetBlendFactor(2.0f);
    EXPECT_EQ(e.BlendFactor(), 1.0f);
    e.SetBlendFactor(-1.0f);
    EXPECT_EQ(e.BlendFactor(), 0.0f);
    e.SetBlendFactor(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(e.BlendFactor(), 0.0f);
    e.SetBlendFactor(0.25f);
    EXPECT_EQ(e.BlendFactor(), 0.25f);
}

TEST(PixelModes, CustomCallsTheFunctionEvenOffTarget) {
    DrawingEngine e;
    Sprite* t = e.GetDrawTarget();
    t->SetPixel(2, 2, Pixel(10, 20, 30, 255));
    int calls = 0;
    e.SetPixelMode([&](int32_t x, int32_t y, const Pixel& s, const Pixel& d) {
        ++calls;
        return Pixel(uint8_t(x), uint8_t(y), s.b, d.r);
    });
    EXPECT_EQ(e.GetPixelMode(), Custom);
    EXPECT_TRUE(e.Draw(2, 2, Pixel(0, 0, 99, 255)));
    EXPECT_EQ(t->GetPixel(2, 2), Pixel(2, 2, 99, 10));
    EXPECT_FALSE(e.Draw(100, 2, Red));
    EXPECT_EQ(calls, 2);
    // Switching modes keeps the function for a later return to Custom.
    e.SetPixelMode(Normal);
    e.SetPixelMode(Custom);
    e.Draw(3, 3, Red);
    EXPECT_EQ(calls, 3);
}

TEST(PixelModes, CustomWithoutFunctionAndUnknownModesWriteNothing) {
    DrawingEngine e;
    e.SetPixelMode(Custom);
    EXPECT_FALSE(e.Draw(1, 1, Red));
    e.SetPixelMode(static_cast<PixelMode>(7));
    EXPECT_FALSE(e.Draw(1, 1, Red));
    EXPECT_EQ(e.GetDrawTarget()->GetPixel(1, 1), Black);
}

TEST(PixelModes, ClearIgnoresModeAndOverride) {
    DrawingEngine e;
    e.SetPixelMode(Mask);
    e.Take();
    e.Clear(Transparent);
    EXPECT_TRUE(e.plots.empty());
    Sprite* t = e.GetDrawTarget();
    for (int i = 0; i < t->width * t->height; ++i) ASSERT_EQ(t->Pixels()[i], Transparent);
    Sprite small(2, 2);
    e.SetDrawTarget(&small);
    e.Clear(Red);
    EXPECT_EQ(small.GetPixel(1, 1), Red);
    EXPECT_EQ(t->GetPixel(0, 0), Transparent);
}

TEST(Lines, TieBreaksDifferBetweenBranchesAndIgnoreArgumentOrder) {
    DrawingEngine e;
    const Plots shallow{{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}};
    e.DrawLine(0, 0, 4, 2, White);
    EXPECT_EQ(e.Take(), shallow);
    e.DrawLine({4, 2}, {0, 0}, White);
    EXPECT_EQ(e.Take(), shallow);
    e.DrawLine(0, 0, 2, 4, White);
    EXPECT_EQ(e.Take(), (Plots{{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}}));
    // Opposite signs step the minor axis downwards.
    e.DrawLine(0, 2, 4, 0, White);
    EXPECT_EQ(e.Take(), (Plots{{0, 2}, {1, 1}, {2, 1}, {3, 0}, {4, 0}}));
    e.DrawLine(2, 0, 0, 4, White);
    EXPECT_EQ(e.Take(), (Plots{{2, 0}, {2, 1}, {1, 2}, {1, 3}, {0, 4}}));
}

TEST(Lines, PatternStartsAtTheSmallerEndWithBit31AndRepeats) {
    DrawingEngine e;
    e.DrawLine(5, 0, 0, 0, White, 0xF0000000u);
    EXPECT_EQ(e.Take(), (Plots{{0, 0}, {1, 0}, {2, 0}, {3, 0}}));
    e.DrawLine(3, 3, 3, 3, White, 0x80000000u);
    EXPECT_EQ(e.Take(), (Plots{{3, 3}}));
    e.DrawLine(3, 3, 3, 3, White, 0x7FFFFFFFu);
    EXPECT_TRUE(e.Take().empty());
    // Bits are consumed off target too; the 33rd candidate reuses bit 31.
    e.DrawLine(-1, 0, 32, 0, White, 0xC0000001u);
    EXPECT_EQ(e.Take(), (Plots{{-1, 0}, {0, 0}, {30, 0}, {31, 0}, {32, 0}}));
    e.DrawLine(0, 9, 0, 0, White, 0xA0000000u);
    EXPECT_EQ(e.Take(), (Plots{{0, 0}, {0, 2}}));
}

TEST(Lines, RectOutlineIncludesBothCornersTwice) {
    DrawingEngine e;
    e.DrawRect(0, 0, 0, 0, White);
    EXPECT_EQ(e.Take(), Plots(4, Plot{0, 0}));
    e.DrawRect({1, 1}, {2, 1}, White);
    const auto counts = CountPlots(e.Take());
    EXPECT_EQ(counts.size(), 6u); // (w + 1) x (h + 1) outline of 3 x 2
    for (Plot corner : {Plot{1, 1}, Plot{3, 1}, Plot{3, 2}, Plot{1, 2}})
        EXPECT_EQ(counts.at(corner), 2);
}

TEST(Circles, RadiusZeroOrNegativeDrawsNothing) {
    DrawingEngine e;
    e.DrawCircle(10, 10, 0, White);
    e.DrawCircle(10, 10, -3, White);
    e.FillCircle(10, 10, 0, White);
    e.FillCircle({10, 10}, -3, White);
    EXPECT_TRUE(e.plots.empty());
}

TEST(Circles, RadiusOnePlotsTheFourExtremesTwice) {
    DrawingEngine e;
    e.DrawCircle(10, 10, 1, White);
    const auto counts = CountPlots(e.Take());
    EXPECT_EQ(counts,
              (std::map<Plot, int>{{{10, 9}, 2}, {{11, 10}, 2}, {{10, 11}, 2}, {{9, 10}, 2}}));
}

TEST(Circles, OctantBitsRunClockwiseFromTwelve) {
    DrawingEngine e;
    e.DrawCircle(20, 20, 5, White, 0x01);
    const Plots top = e.Take();
    ASSERT_FALSE(top.empty());
    EXPECT_EQ(top.front(), (Plot{20, 15}));
    for (auto [x, y] : top) {
        EXPECT_GE(x, 20);
        EXPECT_LT(y, 20);
        EXPECT_GE(20 - y, x - 20); // between twelve o'clock and the upper-right diagonal
    }
    e.DrawCircle(20, 20, 5, White, 0x10);
    for (auto [x, y] : e.Take()) {
        EXPECT_LE(x, 20);
        EXPECT_GE(y - 20, 20 - x); // mirror image: lower left, nearer six o'clock
    }
    // All eight octants: the full outline, symmetric, each pixel on the circle's ring.
    e.DrawCircle(20, 20, 5, White);
    const auto counts = CountPlots(e.Take());
    for (auto [plot, n] : counts) {
        auto [x, y] = plot;
        EXPECT_TRUE(counts.count({40 - x, y}) && counts.count({x, 40 - y}));
        const int r2 = (x - 20) * (x - 20) + (y - 20) * (y - 20);
        EXPECT_GE(r2, 16);
        EXPECT_LE(r2, 36);
    }
}

TEST(Circles, FillCircleCoversTheDiscRowByRow) {
    DrawingEngine e;
    e.FillCircle(20, 20, 4, White);
    const auto counts = CountPlots(e.Take());
    EXPECT_EQ(counts.at({20, 20}), 2); // the centre row twice in the first pass
    for (int y = 14; y <= 26; ++y) {
        int minX = 99, maxX = -99, n = 0;
        for (auto [plot, c] : counts)
            if (plot.second == y)
                minX = std::min(minX, plot.first), maxX = std::max(maxX, plot.first), ++n;
        if (y < 16 || y > 24) {
            EXPECT_EQ(n, 0) << y;
            continue;
        }
        EXPECT_EQ(n, maxX - minX + 1) << "row " << y << " is one run";
        EXPECT_EQ(minX + maxX, 40) << "row " << y << " is centred";
    }
    Sprite* t = e.GetDrawTarget();
    EXPECT_EQ(t->GetPixel(16, 20), White);
    EXPECT_EQ(t->GetPixel(20, 24), White);
    EXPECT_EQ(t->GetPixel(16, 16), Black); // corner of the bounding square is outside
}

TEST(Rects, FillRectClipsBeforeLooping) {
    DrawingEngine e;
    e.FillRect(0, 0, 0, 0, White);
    e.FillRect(3, 3, -2, 5, White);
    EXPECT_TRUE(e.Take().empty());
    e.FillRect(-5, -5, 10, 10, White);
    Plots expected;
    for (int x = 0; x < 5; ++x)
        for (int y = 0; y < 5; ++y) expected.emplace_back(x, y); // columns outermost
    EXPECT_EQ(e.Take(), expected);
    e.FillRect(std::numeric_limits<int32_t>::max() - 1, 0, 10, 10, White);
    EXPECT_TRUE(e.Take().empty());

    Sprite wide(256, 4);
    e.SetDrawTarget(&wide);
    e.FillRect({250, 1}, {50, 1}, White);
    const Plots plots = e.Take();
    ASSERT_EQ(plots.size(), 6u);
    EXPECT_EQ(plots.back(), (Plot{255, 1}));
}

TEST(Rects, NoDrawTargetDrawsNothing) {
    HeadlessEngine<Recorder> e; // not prepared: no base layer, no target
    e.FillRect(0, 0, 4, 4, White);
    e.Clear(White);
    EXPECT_TRUE(e.plots.empty());
    EXPECT_FALSE(e.Draw(0, 0, White));
}

} // namespace
} // namespace dral::testing
