// Decal draw records without a GPU: the corners, texture coordinates and perspective factors the
// draw operations queue, checked against worked examples, and where composition delivers them.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <numbers>

#include "support/headless_engine.h"

namespace dral {
namespace {

void ExpectCorners(const Vec2f (&actual)[4], const std::array<Vec2f, 4>& expected) {
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(actual[i].x, expected[i].x, 1e-5f) << "corner " << i;
        EXPECT_NEAR(actual[i].y, expected[i].y, 1e-5f) << "corner " << i;
    }
}

using DecalEngine = testing::HeadlessEngine<>;

struct DecalRecords : ::testing::Test {
    DecalEngine app{100, 100};
    Sprite square{50, 50};
    Sprite sheet{64, 32};
    std::unique_ptr<Decal> squareDecal, sheetDecal;

    void SetUp() override {
        app.Prepare();
        squareDecal = std::make_unique<Decal>(&square);
        sheetDecal = std::make_unique<Decal>(&sheet);
    }
    const std::vector<DecalDraw>& Queue(size_t layer = 0) {
        return app.GetLayers()[layer].decalDraws;
    }
};

TEST_F(DecalRecords, PlainAndRegionDrawsSpanTheirSizeFromTheTopLeft) {
    const Pixel tint{10, 20, 30, 40};
    app.DrawDecal({0, 0}, squareDecal.get(), {1, 1}, tint);
    app.DrawDecalRegion({25, 0}, sheetDecal.get(), {16, 0}, {16, 16}, {2, 1});
    ASSERT_EQ(Queue().size(), 2u);
    const DecalDraw& plain = Queue()[0];
    EXPECT_EQ(plain.decal, squareDecal.get());
    EXPECT_EQ(plain.tint, tint);
    ExpectCorners(plain.position, {{{-1, 1}, {-1, 0}, {0, 0}, {0, 1}}});
    ExpectCorners(plain.uv, {{{0, 0}, {0, 1}, {1, 1}, {1, 0}}});
    for (float w : plain.w) EXPECT_EQ(w, 1.0f);

    const DecalDraw& region = Queue()[1];
    ExpectCorners(region.uv, {{{0.25f, 0}, {0.25f, 0.5f}, {0.5f, 0.5f}, {0.5f, 0}}});
    ExpectCorners(region.position, {{{-0.5f, 1}, {-0.5f, 0.68f}, {0.14f, 0.68f}, {0.14f, 1}}});
}

TEST_F(DecalRecords, RegionExtentDoublesTheSourceSizeFirst) {
    // 2 x 3e38 overflows to infinity before the scaling by 1/100 could bring it back, while the
    // whole-decal order (size / 100 x 2) would stay finite.
    app.DrawDecalRegion({0, 0}, sheetDecal.get(), {0, 0}, {3e38f, -3e38f});
    ASSERT_EQ(Queue().size(), 1u);
    EXPECT_EQ(Queue()[0].position[2].x, std::numeric_limits<float>::infinity());
    EXPECT_EQ(Queue()[0].position[2].y, std::numeric_limits<float>::infinity());
    EXPECT_EQ(Queue()[0].position[0].x, -1.0f);
}

TEST_F(DecalRecords, RotationTurnsClockwiseAboutTheCentre) {
    app.DrawDecal({20, 30}, squareDecal.get());
    app.DrawDecalRotated({20, 30}, squareDecal.get(), 0.0f);
    const std::vector<DecalDraw>& q = Queue();
    const Vec2f(&plain)[4] = q[0].position;
    ExpectCorners(q[1].position, {plain[0], plain[1], plain[2], plain[3]});

    // A quarter turn puts the top-right corner (width, 0) straight below pos on screen.
    app.DrawDecalRotated({20, 30}, squareDecal.get(), std::numbers::pi_v<float> / 2.0f);
    EXPECT_NEAR(q[2].position[3].x, 20 * 0.02f - 1, 1e-5f);
    EXPECT_NEAR(q[2].position[3].y, 1 - 80 * 0.02f, 1e-5f);

    // A half turn about the region's centre, which lands on pos; the region's texture is kept.
    app.DrawDecalRegionRotated({50, 50}, sheetDecal.get(), std::numbers::pi_v<float>, {8, 8},
                               {16, 0}, {16, 16});
    ExpectCorners(q[3].position,
                  {{{0.16f, -0.16f}, {0.16f, 0.16f}, {-0.16f, 0.16f}, {-0.16f, -0.16f}}});
    ExpectCorners(q[3].uv, {{{0.25f, 0}, {0.25f, 0.5f}, {0.5f, 0.5f}, {0.5f, 0}}});
}

TEST_F(DecalRecords, WarpsCarryPerspectiveFactorsFromTheDiagonalsCrossing) {
    const Vec2f rectangle[4] = {{10, 20}, {10, 60}, {90, 60}, {90, 20}};
    app.DrawDecalWarped(squareDecal.get(), rectangle);
    const std::array<Vec2f, 4> trapezoid{{{40, 0}, {0, 100}, {200, 100}, {160, 0}}};
    app.DrawDecalWarped(squareDecal.get(), trapezoid);
    app.DrawDecalRegionWarped(sheetDecal.get(), trapezoid, {16, 0}, {16, 16});
    const std::vector<DecalDraw>& q = Queue();
    ASSERT_EQ(q.size(), 3u);

    for (float w : q[0].w) EXPECT_FLOAT_EQ(w, 2.0f);
    ExpectCorners(q[0].uv, {{{0, 0}, {0, 2}, {2, 2}, {2, 0}}});
    ExpectCorners(q[0].position, {{{-0.8f, 0.6f}, {-0.8f, -0.2f}, {0.8f, -0.2f}, {0.8f, 0.6f}}});

    const float far = 1.6f, near = 2.6666667f;
    EXPECT_FLOAT_EQ(q[1].w[0], far);
    EXPECT_FLOAT_EQ(q[1].w[1], near);
    EXPECT_FLOAT_EQ(q[1].w[2], near);
    EXPECT_FLOAT_EQ(q[1].w[3], far);
    ExpectCorners(q[1].uv, {{{0, 0}, {0, near}, {near, near}, {far, 0}}});
    ExpectCorners(q[2].uv, {{{0.25f * far, 0},
                             {0.25f * near, 0.5f * near},
                             {0.5f * near, 0.5f * near},
                             {0.5f * far, 0}}});
}

TEST_F(DecalRecords, DegenerateWarpsQueueNothingOrStayFinite) {
    const Vec2f point[4] = {{30, 30}, {30, 30}, {30, 30}, {30, 30}};
    const Vec2f line[4] = {{0, 0}, {10, 10}, {20, 20}, {30, 30}};
    app.DrawDecalWarped(squareDecal.get(), point);
    app.DrawDecalRegionWarped(sheetDecal.get(), line, {0, 0}, {8, 8});
    EXPECT_TRUE(Queue().empty());

    // Two corners on the diagonals' crossing: no factor may come from a zero distance.
    const Vec2f triangle[4] = {{0, 0}, {0, 10}, {10, 10}, {10, 10}};
    app.DrawDecalWarped(squareDecal.get(), triangle);
    ASSERT_EQ(Queue().size(), 1u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(std::isfinite(Queue()[0].w[i])) << i;
        EXPECT_TRUE(std::isfinite(Queue()[0].uv[i].x)) << i;
    }
}

// Where the diagonals do not cross inside both (a concave or a self-crossing quad), the factors
// are measured from the screen origin instead of the crossing.
TEST_F(DecalRecords, ConcaveAndSelfCrossingWarpsMeasureFromTheOrigin) {
    const Vec2f concave[4] = {{10, 10}, {20, 60}, {30, 40}, {60, 10}};
    const Vec2f bowTie[4] = {{10, 10}, {90, 60}, {30, 60}, {60, 10}};
    app.DrawDecalWarped(squareDecal.get(), concave);
    app.DrawDecalRegionWarped(sheetDecal.get(), bowTie, {16, 0}, {16, 16});
    ASSERT_EQ(Queue().size(), 2u);
    const float concaveQ[4] = {1.2828427f, 2.0397505f, 4.5355339f, 1.9617692f};
    const float bowTieQ[4] = {1.2108185f, 2.7782469f, 5.7434165f, 1.5623516f};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(Queue()[0].w[i], concaveQ[i], 1e-5f) << i;
        EXPECT_NEAR(Queue()[1].w[i], bowTieQ[i], 1e-5f) << i;
    }
    ExpectCorners(Queue()[0].uv,
                  {{{0, 0}, {0, concaveQ[1]}, {concaveQ[2], concaveQ[2]}, {concaveQ[3], 0}}});
    ExpectCorners(Queue()[1].uv, {{{0.25f * bowTieQ[0], 0},
                                   {0.25f * bowTieQ[1], 0.5f * bowTieQ[1]},
                                   {0.5f * bowTieQ[2], 0.5f * bowTieQ[2]},
                                   {0.5f * bowTieQ[3], 0}}});
    ExpectCorners(Queue()[1].position,
                  {{{-0.8f, 0.8f}, {0.8f, -0.2f}, {-0.4f, -0.2f}, {0.2f, 0.8f}}});
}

TEST_F(DecalRecords, WarpsWhoseFactorsOverflowQueueNothing) {
    const Vec2f huge[4] = {{0, 0}, {0, 1e20f}, {1e20f, 1e20f}, {1e20f, 0}};
    const Vec2f farCorner[4] = {{10, 10}, {10, 60}, {3e38f, 3e38f}, {60, 10}};
    app.DrawDecalWarped(squareDecal.get(), huge);
    app.DrawDecalRegionWarped(sheetDecal.get(), huge, {0, 0}, {8, 8});
    app.DrawDecalWarped(squareDecal.get(), farCorner);
    for (const DecalDraw& draw : Queue())
        for (int i = 0; i < 4; ++i) {
            EXPECT_TRUE(std::isfinite(draw.w[i])) << i;
            EXPECT_TRUE(std::isfinite(draw.uv[i].x) && std::isfinite(draw.uv[i].y)) << i;
        }
    EXPECT_LE(Queue().size(), 1u);
    // A large but ordinary quad still goes through.
    const Vec2f large[4] = {{0, 0}, {0, 1e6f}, {1e6f, 1e6f}, {1e6f, 0}};
    const size_t before = Queue().size();
    app.DrawDecalWarped(squareDecal.get(), large);
    EXPECT_EQ(Queue().size(), before + 1);
}

TEST_F(DecalRecords, StringDecalsPlaceOneFontCellPerCharacter) {
    app.DrawStringDecals({10, 10}, "A\nB", Red, {2, 2});
    // Control bytes and bytes above 127 point outside the sheet; the texture repeats there.
    app.DrawStringDecals({0, 0}, " \x01\x80");
    const std::vector<DecalDraw>& q = Queue();
    ASSERT_EQ(q.size(), 5u);
    // The 128 x 48 sheet: 'A' is cell (1, 2) at (8, 16), 'B' cell (2, 2) at (16, 16).
    const float u = 1.0f / 128, v = 1.0f / 48;
    ExpectCorners(q[0].position,
                  {{{-0.8f, 0.8f}, {-0.8f, 0.48f}, {-0.48f, 0.48f}, {-0.48f, 0.8f}}});
    ExpectCorners(q[0].uv,
                  {{{8 * u, 16 * v}, {8 * u, 24 * v}, {16 * u, 24 * v}, {16 * u, 16 * v}}});
    ExpectCorners(q[1].position,
                  {{{-0.8f, 0.48f}, {-0.8f, 0.16f}, {-0.48f, 0.16f}, {-0.48f, 0.48f}}});
    EXPECT_NEAR(q[1].uv[0].x, 16 * u, 1e-6f);
    EXPECT_EQ(q[1].tint, Red);
    EXPECT_EQ(q[2].uv[0].x, 0.0f);
    EXPECT_EQ(q[2].uv[0].y, 0.0f);
    EXPECT_NEAR(q[3].uv[0].x, -120 * u, 1e-6f);
    EXPECT_NEAR(q[3].uv[0].y, -8 * v, 1e-6f);
    EXPECT_NEAR(q[4].uv[0].y, -80 * v, 1e-6f);
    EXPECT_NEAR(q[4].position[0].x, 16 * 0.02f - 1, 1e-6f);
}

TEST_F(DecalRecords, DecalsUploadIntoTheirOwnTextureAndNeedASpriteToDraw) {
    const auto& textures = app.headlessRenderer->textures;
    Sprite wide(16, 2);
    auto decal = std::make_unique<Decal>(&sheet);
    const uint32_t id = static_cast<uint32_t>(decal->textureId);
    // Another texture is bound; the refresh still lands in the decal's, with the new size.
    app.headlessRenderer->BindTexture(static_cast<uint32_t>(squareDecal->textureId));
    decal->sprite = &wide;
    decal->Refresh();
    EXPECT_FLOAT_EQ(decal->uvScale.x, 1.0f / 16);
    EXPECT_EQ(textures.at(id).width, 16);
    EXPECT_EQ(textures.at(static_cast<uint32_t>(squareDecal->textureId)).width, 50);
    decal.reset();
    EXPECT_EQ(textures.count(id), 0u);

    const size_t count = textures.size();
    {
        Decal empty(nullptr);
        EXPECT_EQ(empty.textureId, -1);
        app.DrawDecal({0, 0}, &empty);
        app.DrawDecalRegion({0, 0}, &empty, {0, 0}, {4, 4});
        app.DrawDecal({0, 0}, nullptr);
    }
    EXPECT_TRUE(Queue().empty());
    EXPECT_EQ(textures.size(), count);
}

TEST_F(DecalRecords, DrawsGoToTheTargetLayerAndLiveOneFrame) {
    app.CreateLayer();
    app.CreateLayer();
    app.SetDrawTarget(uint8_t{2});
    app.DrawDecal({0, 0}, squareDecal.get());
    Sprite elsewhere(4, 4);
    app.SetDrawTarget(&elsewhere);
    app.DrawDecal({0, 0}, squareDecal.get());
    EXPECT_EQ(Queue(2).size(), 2u);
    app.SetDrawTarget(nullptr);
    app.DrawDecal({0, 0}, squareDecal.get());
    EXPECT_EQ(Queue(0).size(), 1u);

    // Layer 2 is hidden and layer 1 has a hook: neither draws its queue, and neither keeps it.
    app.EnableLayer(1, true);
    size_t seenByHook = 0;
    app.SetLayerRenderHook(1, [&] { seenByHook = Queue(1).size(); });
    app.SetDrawTarget(uint8_t{1});
    app.DrawDecal({0, 0}, squareDecal.get());
    const uint64_t quads = app.headlessRenderer->quadsDrawn;
    app.RunFrameFor(0.01f);
    EXPECT_EQ(seenByHook, 1u);
    EXPECT_EQ(app.headlessRenderer->quadsDrawn - quads, 2u); // the base quad and its decal
    for (size_t i = 0; i < 3; ++i) EXPECT_TRUE(Queue(i).empty()) << i;
}

} // namespace
} // namespace dral
