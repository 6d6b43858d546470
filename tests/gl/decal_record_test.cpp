// Decal draw records without a GPU: the corners, texture coordinates and perspective factors the
// draw operations queue, checked against worked examples, and where composition delivers them.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>

#include "support/headless_engine.h"

namespace dral {
namespace {

using testing::HeadlessEngine;

void ExpectNear(const Vec2f& actual, const Vec2f& expected, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
}

void ExpectCorners(const Vec2f (&actual)[4], const std::array<Vec2f, 4>& expected,
                   float tolerance = 1e-5f) {
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        ExpectNear(actual[i], expected[i], tolerance);
    }
}

const std::vector<DecalDraw>& Queue(Tesserine& app, size_t layer = 0) {
    return app.GetLayers()[layer].decalDraws;
}

// The font and the layer images live until the process ends; a test releases them itself so that
// the leak checker watches everything else.
struct ReleasingEngine : HeadlessEngine<> {
    using HeadlessEngine::HeadlessEngine;
    ~ReleasingEngine() override {
        delete fontDecal;
        delete fontSprite;
        for (Layer& layer : layers) delete layer.sprite;
    }
};

struct DecalRecords : ::testing::Test {
    ReleasingEngine app{100, 100};
    Sprite square{50, 50};
    Sprite sheet{64, 32};
    std::unique_ptr<Decal> squareDecal;
    std::unique_ptr<Decal> sheetDecal;

    void SetUp() override {
        app.Prepare();
        squareDecal = std::make_unique<Decal>(&square);
        sheetDecal = std::make_unique<Decal>(&sheet);
    }
};

TEST_F(DecalRecords, PlainDrawCoversItsSpriteSizeFromTheTopLeft) {
    const Pixel tint{10, 20, 30, 40};
    app.DrawDecal({0.0f, 0.0f}, squareDecal.get(), {1.0f, 1.0f}, tint);
    ASSERT_EQ(Queue(app).size(), 1u);
    const DecalDraw& d = Queue(app)[0];
    EXPECT_EQ(d.decal, squareDecal.get());
    EXPECT_EQ(d.tint, tint);
    ExpectCorners(d.position, {{{-1, 1}, {-1, 0}, {0, 0}, {0, 1}}});
    ExpectCorners(d.uv, {{{0, 0}, {0, 1}, {1, 1}, {1, 0}}});
    for (float w : d.w) EXPECT_EQ(w, 1.0f);

    // Scale stretches away from pos; the bottom-right corner of the screen is (1, -1).
    app.DrawDecal({50.0f, 50.0f}, squareDecal.get(), {1.0f, 0.5f});
    ExpectCorners(Queue(app)[1].position, {{{0, 0}, {0, -0.5f}, {1, -0.5f}, {1, 0}}});
}

TEST_F(DecalRecords, RegionTakesItsTextureRectangleAndItsSize) {
    app.DrawDecalRegion({25.0f, 0.0f}, sheetDecal.get(), {16.0f, 0.0f}, {16.0f, 16.0f},
                        {2.0f, 1.0f});
    const DecalDraw& d = Queue(app).at(0);
    ExpectCorners(d.uv, {{{0.25f, 0}, {0.25f, 0.5f}, {0.5f, 0.5f}, {0.5f, 0}}});
    ExpectCorners(d.position, {{{-0.5f, 1}, {-0.5f, 0.68f}, {0.14f, 0.68f}, {0.14f, 1}}});
}

TEST_F(DecalRecords, RotationTurnsClockwiseAboutTheCentre) {
    app.DrawDecal({20.0f, 30.0f}, squareDecal.get());
    app.DrawDecalRotated({20.0f, 30.0f}, squareDecal.get(), 0.0f);
    const std::vector<DecalDraw>& q = Queue(app);
    ASSERT_EQ(q.size(), 2u);
    ExpectCorners(q[1].position,
                  {{q[0].position[0], q[0].position[1], q[0].position[2], q[0].position[3]}});

    // A quarter turn puts the top-right corner (width, 0) straight below pos on screen.
    app.DrawDecalRotated({20.0f, 30.0f}, squareDecal.get(), std::numbers::pi_v<float> / 2.0f);
    ExpectNear(q[2].position[3], {20.0f * 0.02f - 1.0f, -(80.0f * 0.02f - 1.0f)});

    // The centre lands on pos and the region's texture rectangle is kept.
    app.DrawDecalRegionRotated({50.0f, 50.0f}, sheetDecal.get(), std::numbers::pi_v<float>,
                               {8.0f, 8.0f}, {16.0f, 0.0f}, {16.0f, 16.0f}, {1.0f, 1.0f});
    ExpectCorners(q[3].position,
                  {{{0.16f, -0.16f}, {0.16f, 0.16f}, {-0.16f, 0.16f}, {-0.16f, -0.16f}}});
    ExpectCorners(q[3].uv, {{{0.25f, 0}, {0.25f, 0.5f}, {0.5f, 0.5f}, {0.5f, 0}}});
}

TEST_F(DecalRecords, WarpedRectangleHasEqualFactorsOfTwo) {
    const Vec2f corners[4] = {{10, 20}, {10, 60}, {90, 60}, {90, 20}};
    app.DrawDecalWarped(squareDecal.get(), corners);
    const DecalDraw& d = Queue(app).at(0);
    for (float w : d.w) EXPECT_FLOAT_EQ(w, 2.0f);
    ExpectCorners(d.uv, {{{0, 0}, {0, 2}, {2, 2}, {2, 0}}});
    ExpectCorners(d.position, {{{-0.8f, 0.6f}, {-0.8f, -0.2f}, {0.8f, -0.2f}, {0.8f, 0.6f}}});
}

TEST_F(DecalRecords, WarpedTrapezoidCarriesPerspectiveFactors) {
    const std::array<Vec2f, 4> corners{{{40, 0}, {0, 100}, {200, 100}, {160, 0}}};
    app.DrawDecalWarped(squareDecal.get(), corners);
    const DecalDraw& d = Queue(app).at(0);
    const float far = 1.6f, near = 2.6666667f;
    EXPECT_FLOAT_EQ(d.w[0], far);
    EXPECT_FLOAT_EQ(d.w[1], near);
    EXPECT_FLOAT_EQ(d.w[2], near);
    EXPECT_FLOAT_EQ(d.w[3], far);
    ExpectCorners(d.uv, {{{0, 0}, {0, near}, {near, near}, {far, 0}}});

    // The region form multiplies the region's coordinates by the same factors.
    app.DrawDecalRegionWarped(sheetDecal.get(), corners, {16.0f, 0.0f}, {16.0f, 16.0f});
    ExpectCorners(Queue(app).at(1).uv, {{{0.25f * far, 0},
                                         {0.25f * near, 0.5f * near},
                                         {0.5f * near, 0.5f * near},
                                         {0.5f * far, 0}}});
}

TEST_F(DecalRecords, DegenerateWarpsQueueNothingOrStayFinite) {
    const Vec2f point[4] = {{30, 30}, {30, 30}, {30, 30}, {30, 30}};
    const Vec2f line[4] = {{0, 0}, {10, 10}, {20, 20}, {30, 30}};
    app.DrawDecalWarped(squareDecal.get(), point);
    app.DrawDecalRegionWarped(sheetDecal.get(), line, {0, 0}, {8, 8});
    EXPECT_TRUE(Queue(app).empty());

    // Two corners on the diagonals' crossing: no corner may divide by a zero distance.
    const Vec2f triangle[4] = {{0, 0}, {0, 10}, {10, 10}, {10, 10}};
    app.DrawDecalWarped(squareDecal.get(), triangle);
    ASSERT_EQ(Queue(app).size(), 1u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(std::isfinite(Queue(app)[0].w[i])) << i;
        EXPECT_TRUE(std::isfinite(Queue(app)[0].uv[i].x)) << i;
    }
}

TEST_F(DecalRecords, StringDecalsPlaceOneFontCellPerCharacter) {
    app.DrawStringDecals({10.0f, 10.0f}, "A\nB", Red, {2.0f, 2.0f});
    const std::vector<DecalDraw>& q = Queue(app);
    ASSERT_EQ(q.size(), 2u);
    // The font sheet is 128 x 48: cell (1, 2) starts at (8, 16), cell (2, 2) at (16, 16).
    const float u = 1.0f / 128.0f, v = 1.0f / 48.0f;
    ExpectNear(q[0].position[0], {-0.8f, 0.8f});
    ExpectNear(q[0].position[2], {-0.48f, 0.48f});
    ExpectNear(q[0].uv[0], {8 * u, 16 * v});
    ExpectNear(q[1].position[0], {-0.8f, 0.48f});
    ExpectNear(q[1].uv[0], {16 * u, 16 * v});
    ExpectNear(q[1].uv[2], {24 * u, 24 * v});
    EXPECT_EQ(q[1].tint, Red);

    // A space is cell (0, 0); a control byte or one above 127 points outside the sheet, where the
    // repeating texture wraps it back in.
    app.DrawStringDecals({0.0f, 0.0f}, " \x01\x80");
    ASSERT_EQ(q.size(), 5u);
    ExpectNear(q[2].uv[0], {0, 0});
    ExpectNear(q[3].uv[0], {-15 * 8 * u, -1 * 8 * v});
    ExpectNear(q[4].uv[0], {0, -10 * 8 * v});
    ExpectNear(q[4].position[0], {16.0f * 0.02f - 1.0f, 1.0f});
}

TEST_F(DecalRecords, DecalWithoutSpriteHasNoTextureAndDrawsNothing) {
    const size_t textures = app.headlessRenderer->textures.size();
    {
        Decal empty(nullptr);
        EXPECT_EQ(empty.textureId, -1);
        app.DrawDecal({0, 0}, &empty);
        app.DrawDecalRegion({0, 0}, &empty, {0, 0}, {4, 4});
        app.DrawDecal({0, 0}, nullptr);
    }
    EXPECT_TRUE(Queue(app).empty());
    EXPECT_EQ(app.headlessRenderer->textures.size(), textures);
}

TEST_F(DecalRecords, RefreshUploadsTheCurrentSpriteIntoItsOwnTexture) {
    Sprite small(8, 4), wide(16, 2);
    auto decal = std::make_unique<Decal>(&small);
    ExpectNear(decal->uvScale, {0.125f, 0.25f});
    const auto& textures = app.headlessRenderer->textures;
    const uint32_t id = static_cast<uint32_t>(decal->textureId);
    EXPECT_EQ(textures.at(id).width, 8);

    // Another texture is bound; the upload still lands in the decal's, with the new size.
    app.headlessRenderer->BindTexture(static_cast<uint32_t>(squareDecal->textureId));
    decal->sprite = &wide;
    decal->Refresh();
    ExpectNear(decal->uvScale, {0.0625f, 0.5f});
    EXPECT_EQ(textures.at(id).width, 16);
    EXPECT_EQ(textures.at(static_cast<uint32_t>(squareDecal->textureId)).width, 50);

    decal.reset();
    EXPECT_EQ(textures.count(id), 0u);
}

TEST_F(DecalRecords, DrawsGoToTheTargetLayerAndLiveOneFrame) {
    app.CreateLayer();
    app.CreateLayer();
    app.SetDrawTarget(uint8_t{2});
    app.DrawDecal({0, 0}, squareDecal.get());
    Sprite elsewhere(4, 4);
    app.SetDrawTarget(&elsewhere);
    app.DrawDecal({0, 0}, squareDecal.get());
    EXPECT_EQ(Queue(app, 2).size(), 2u);
    app.SetDrawTarget(nullptr);
    app.DrawDecal({0, 0}, squareDecal.get());
    EXPECT_EQ(Queue(app, 0).size(), 1u);

    // Layer 2 is hidden and layer 1 has a hook: neither draws its queue, and neither keeps it.
    app.EnableLayer(1, true);
    size_t seenByHook = 0;
    app.SetLayerRenderHook(1, [&] { seenByHook = Queue(app, 1).size(); });
    app.SetDrawTarget(uint8_t{1});
    app.DrawDecal({0, 0}, squareDecal.get());
    const uint64_t quads = app.headlessRenderer->quadsDrawn;
    app.RunFrameFor(0.01f);
    EXPECT_EQ(seenByHook, 1u);
    EXPECT_EQ(app.headlessRenderer->quadsDrawn - quads, 2u); // base quad and its decal
    for (size_t i = 0; i < 3; ++i) EXPECT_TRUE(Queue(app, i).empty()) << i;
}

} // namespace
} // namespace dral
