// Pixel modes and the line, circle and rectangle primitives: exact plotted sets and their
// order-independent rules (tie-breaks, pattern phase, octant masks, double plots, clipping).
#include <gtest/gtest.h>

#include <array>
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
    // Sides in order: top left to right, right downwards, bottom right to left, left upwards,
    // each line walked from its smaller end. Negative sizes draw up and to the left.
    e.DrawRect(5, 5, -2, -1, White);
    EXPECT_EQ(
        e.Take(),
        (Plots{{3, 5}, {4, 5}, {5, 5}, {3, 4}, {3, 5}, {3, 4}, {4, 4}, {5, 4}, {5, 4}, {5, 5}}));
}

TEST(Lines, RectFarCornerBeyondInt32IsNotWrappedOntoTheTarget) {
    DrawingEngine e(32, 16);
    const int32_t max = std::numeric_limits<int32_t>::max();
    e.DrawRect(max - 10, 5, 20, 3, Red);
    // The unwrapped outline lies wholly to the right of the target: only its on-int32 part is
    // handed to Draw: 11 columns on the top and bottom rows, 4 rows of the left side.
    const Plots plots = e.Take();
    EXPECT_EQ(plots.size(), 11u + 11u + 4u);
    for (auto [x, y] : plots) EXPECT_GE(x, max - 10);
    e.DrawRect(-5, max - 2, 7, 9, Red); // the same downwards
    for (auto [x, y] : e.Take()) EXPECT_GE(y, max - 2);
    for (int32_t y = 0; y < 16; ++y)
        for (int32_t x = 0; x < 32; ++x) ASSERT_EQ(e.GetDrawTarget()->GetPixel(x, y), Black);
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

// The first octant (twelve o'clock towards the upper right) walks both branches of the midpoint
// step; its exact points for several radii pin the loop bound and the step constants.
TEST(Circles, FirstOctantPointsForSeveralRadii) {
    DrawingEngine e;
    const std::pair<int32_t, Plots> cases[] = {
        {2, {{0, -2}, {1, -2}}},
        {3, {{0, -3}, {1, -3}, {2, -2}}},
        {5, {{0, -5}, {1, -5}, {2, -5}, {3, -4}}},
        {8, {{0, -8}, {1, -8}, {2, -8}, {3, -7}, {4, -7}, {5, -6}}},
        {13,
         {{0, -13},
          {1, -13},
          {2, -13},
          {3, -13},
          {4, -12},
          {5, -12},
          {6, -12},
          {7, -11},
          {8, -10},
          {9, -9}}},
    };
    for (const auto& [radius, points] : cases) {
        e.DrawCircle(0, 0, radius, White, 0x01);
        EXPECT_EQ(e.Take(), points) << "radius " << radius;
    }
}

TEST(Circles, EightOctantsInBitOrderAtEveryStep) {
    DrawingEngine e;
    e.DrawCircle({10, 10}, 3, White);
    const Plots expected{
        {10, 7}, {13, 10}, {13, 10}, {10, 13}, {10, 13}, {7, 10}, {7, 10}, {10, 7},
        {11, 7}, {13, 9},  {13, 11}, {11, 13}, {9, 13},  {7, 11}, {7, 9},  {9, 7},
        {12, 8}, {12, 8},  {12, 12}, {12, 12}, {8, 12},  {8, 12}, {8, 8},  {8, 8},
    };
    EXPECT_EQ(e.Take(), expected);
    // A mask picks octants by bit: 0x22 is the right half's upper and the left half's lower one.
    e.DrawCircle(10, 10, 3, White, 0x22);
    EXPECT_EQ(e.Take(), (Plots{{13, 10}, {7, 10}, {13, 9}, {7, 11}, {12, 8}, {8, 12}}));
}

// Runs of consecutive plots on one row, as (row, first x, last x).
std::vector<std::array<int32_t, 3>> Spans(const Plots& plots) {
    std::vector<std::array<int32_t, 3>> spans;
    for (auto [x, y] : plots) {
        if (!spans.empty() && spans.back()[0] == y && spans.back()[2] + 1 == x)
            spans.back()[2] = x;
        else
            spans.push_back({y, x, x});
    }
    return spans;
}

TEST(Circles, FillCircleDrawsFourSpansPerStep) {
    DrawingEngine e;
    e.FillCircle(20, 20, 3, White);
    EXPECT_EQ(Spans(e.Take()), (std::vector<std::array<int32_t, 3>>{{17, 20, 20},
                                                                    {20, 17, 23},
                                                                    {23, 20, 20},
                                                                    {20, 17, 23},
                                                                    {17, 19, 21},
                                                                    {19, 17, 23},
                                                                    {23, 19, 21},
                                                                    {21, 17, 23},
                                                                    {18, 18, 22},
                                                                    {18, 18, 22},
                                                                    {22, 18, 22},
                                                                    {22, 18, 22}}));
    e.FillCircle({20, 20}, 5, White);
    EXPECT_EQ(Spans(e.Take()), (std::vector<std::array<int32_t, 3>>{{15, 20, 20},
                                                                    {20, 15, 25},
                                                                    {25, 20, 20},
                                                                    {20, 15, 25},
                                                                    {15, 19, 21},
                                                                    {19, 15, 25},
                                                                    {25, 19, 21},
                                                                    {21, 15, 25},
                                                                    {15, 18, 22},
                                                                    {18, 15, 25},
                                                                    {25, 18, 22},
                                                                    {22, 15, 25},
                                                                    {16, 17, 23},
                                                                    {17, 16, 24},
                                                                    {24, 17, 23},
                                                                    {23, 16, 24}}));
    Sprite* t = e.GetDrawTarget();
    EXPECT_EQ(t->GetPixel(16, 17), White);
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
