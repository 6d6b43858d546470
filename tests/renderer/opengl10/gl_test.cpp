// Renderer_OGL10 and the engine's layer and decal composition on real GL, read back just before
// the present: the context seam, order and blending, tint, offset and scale with repeat, the
// projective warp, nearest filtering, text placement and resizing uploads.
#include "gl_fixture.h"

namespace dral {
namespace {

using namespace dral::testing;

// Blending rounds differently from driver to driver by one step.
constexpr int Rounding = 1;

struct OnGL : ::testing::Test {
    static constexpr int32_t Size = 32;
    TestWindow window{Size, Size};
    std::unique_ptr<GLEngine> app;

    void SetUp() override {
        ASSERT_NE(window.window, nullptr);
        app = std::make_unique<GLEngine>(window.window, Size, Size);
        ASSERT_TRUE(app->prepared);
    }
    void TearDown() override { app.reset(); }
};

TEST_F(OnGL, DeviceNeedsAWindowAndStopsSwapWaitsUnlessVsync) {
    EXPECT_EQ(app->capture->intervals, std::vector<int>{0});
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));

    auto context = std::make_unique<CapturingContext>();
    CapturingContext* withVsync = context.get();
    Renderer_OGL10 second(std::move(context));
    EXPECT_EQ(second.CreateDevice({}, false, true), Fail);
    EXPECT_EQ(second.CreateDevice({nullptr}, false, true), Fail);
    EXPECT_EQ(second.CreateDevice({window.window}, false, true), Ok);
    EXPECT_TRUE(withVsync->intervals.empty());
    second.DestroyDevice();
}

TEST_F(OnGL, UploadReplacesTheWholeImageWithTheSpritesSize) {
    Sprite small(2, 2), wide(4, 1);
    const Pixel colours[4] = {Blue, Green, Yellow, Magenta};
    Paint(&wide, [&](int32_t x, int32_t) { return colours[x]; });
    const uint32_t id = renderer->CreateTexture(2, 2);
    renderer->UpdateTexture(id, &small);
    const uint32_t other = renderer->CreateTexture(1, 1);
    renderer->BindTexture(id);
    renderer->UpdateTexture(id, &wide);
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    EXPECT_EQ(width, 4);
    EXPECT_EQ(height, 1);

    renderer->DrawLayerQuad({0, 0}, {1, 1}, White);
    const Frame f = ReadBackBuffer(Size, Size);
    for (int32_t i = 0; i < 4; ++i) ExpectRgb(f.At(i * 8 + 4, 20), colours[i]);
    EXPECT_EQ(renderer->DeleteTexture(other), other);
    EXPECT_FALSE(glIsTexture(other));
}

TEST_F(OnGL, LayersStackFromTheHighestIndexWithTheirDecalsBehindLowerLayers) {
    app->CreateLayer();
    app->CreateLayer();
    // Base: left half clear (bottom rows half-transparent white), right half green. Layer 1: top
    // half clear, bottom half red. Layer 2: blue.
    Paint(app->LayerSprite(0), [](int32_t x, int32_t y) {
        if (x >= 16) return Green;
        return y >= 28 ? Pixel{255, 255, 255, 128} : Transparent;
    });
    Paint(app->LayerSprite(1), [](int32_t, int32_t y) { return y >= 16 ? Red : Transparent; });
    Paint(app->LayerSprite(2), [](int32_t, int32_t) { return Blue; });
    app->EnableLayer(1, true);
    app->EnableLayer(2, true);

    SolidDecal yellow(4, 4, Yellow), cyan(4, 4, Cyan), magenta(4, 4, Magenta);
    app->SetDrawTarget(uint8_t{2});
    app->DrawDecal({8, 4}, yellow.decal.get());  // seen through layers 1 and 0
    app->DrawDecal({8, 20}, yellow.decal.get()); // behind layer 1's red
    app->SetDrawTarget(uint8_t{1});
    app->DrawDecal({8, 22}, cyan.decal.get());  // over layer 1, seen through the base
    app->DrawDecal({24, 20}, cyan.decal.get()); // behind the base's green
    app->SetDrawTarget(nullptr);
    app->DrawDecal({24, 24}, magenta.decal.get()); // in front of everything

    const Frame& f = app->Compose();
    ExpectRgb(f.At(2, 2), Blue);
    ExpectRgb(f.At(2, 20), Red);
    ExpectRgb(f.At(20, 2), Green);
    ExpectRgb(f.At(9, 5), Yellow);
    ExpectRgb(f.At(9, 21), Red);
    ExpectRgb(f.At(9, 23), Cyan);
    ExpectRgb(f.At(25, 21), Green);
    ExpectRgb(f.At(25, 25), Magenta);
    ExpectRgb(f.At(2, 30), {255, 128, 128, 255}, Rounding); // half-transparent white over red
}

TEST_F(OnGL, TintModulatesColourAndAlpha) {
    app->CreateLayer();
    Paint(app->LayerSprite(1), [](int32_t, int32_t) { return Blue; });
    app->EnableLayer(1, true);
    app->SetDrawTarget(uint8_t{1});
    // Base texels: opaque white on the left, half-transparent white on the right.
    Paint(app->LayerSprite(0), [](int32_t x, int32_t) {
        return x < 16 ? White : Pixel{255, 255, 255, 128};
    });
    app->SetLayerTint(0, {255, 128, 0, 128});
    SolidDecal white(4, 4, White);
    app->SetDrawTarget(nullptr);
    app->DrawDecal({2, 2}, white.decal.get(), {1, 1}, {0, 255, 0, 255});

    const Frame& f = app->Compose();
    ExpectRgb(f.At(8, 20), {128, 64, 127, 255}, Rounding);     // (255, 128, 0) at 128/255
    ExpectRgb(f.At(24, 20), {64, 32, 191, 255}, 2 * Rounding); // at 128/255 × 128/255
    ExpectRgb(f.At(3, 3), Green);
}

TEST_F(OnGL, OffsetAndScaleMoveTheLayerOverARepeatingTexture) {
    // Quadrants: red top-left, green top-right, blue bottom-left, white bottom-right.
    const Pixel quadrants[4] = {Red, Green, Blue, White};
    Paint(app->LayerSprite(0),
          [&](int32_t x, int32_t y) { return quadrants[(y / 16) * 2 + x / 16]; });
    app->SetLayerScale(0, 0.5f, 0.5f);
    const Frame& enlarged = app->Compose();
    ExpectRgb(enlarged.At(0, 0), Red);
    ExpectRgb(enlarged.At(31, 31), Red);

    app->SetLayerScale(0, {1, 1});
    app->SetLayerOffset(0, 0.5f, 0.0f);
    const Frame& moved = app->Compose();
    ExpectRgb(moved.At(0, 0), Green);
    ExpectRgb(moved.At(15, 31), White);
    ExpectRgb(moved.At(16, 0), Red); // repeated from the left edge
    ExpectRgb(moved.At(31, 31), Blue);

    app->SetLayerOffset(0, {0, 0});
    app->SetLayerScale(0, 2.0f, 2.0f);
    const Frame& tiled = app->Compose();
    ExpectRgb(tiled.At(8, 0), Green);
    ExpectRgb(tiled.At(16, 0), Red);
    ExpectRgb(tiled.At(31, 31), White);
}

TEST_F(OnGL, DecalsSampleNearest) {
    Sprite checker(2, 2);
    Paint(&checker, [](int32_t x, int32_t y) { return (x + y) % 2 ? White : Red; });
    Decal decal(&checker);
    app->DrawDecal({4, 4}, &decal, {8, 8});
    const Frame& f = app->Compose();
    ExpectRgb(f.At(11, 11), Red);
    ExpectRgb(f.At(12, 11), White);
    ExpectRgb(f.At(11, 12), White);
    ExpectRgb(f.At(19, 19), Red);
    ExpectRgb(f.At(20, 20), Black);
}

TEST_F(OnGL, StringDecalsPlaceGlyphsFromTheirFontCells) {
    // Each 8 x 8 cell of the sheet has its own colour and a white top-left texel.
    ASSERT_EQ(app->fontSprite->width, 128);
    Paint(app->fontSprite.get(), [](int32_t x, int32_t y) {
        if (x % 8 == 0 && y % 8 == 0) return White;
        return Pixel{static_cast<uint8_t>(x / 8 * 16), static_cast<uint8_t>(y / 8 * 40), 200, 255};
    });
    app->fontDecal->Refresh();
    app->DrawStringDecals({2, 2}, "A\nB", White, {2, 2});
    app->DrawStringDecals({20, 2}, "!", Magenta);

    const Frame& f = app->Compose();
    const Pixel cellA{16, 80, 200, 255}, cellB{32, 80, 200, 255};
    ExpectRgb(f.At(3, 3), White);
    ExpectRgb(f.At(4, 4), cellA);
    ExpectRgb(f.At(17, 17), cellA);
    ExpectRgb(f.At(18, 10), Black); // nothing follows the A on its line
    ExpectRgb(f.At(2, 18), White);
    ExpectRgb(f.At(10, 25), cellB);
    ExpectRgb(f.At(25, 5), {16, 0, 200, 255}); // '!' is cell (1, 0), modulated by its colour
}

TEST(WarpedOnGL, TrapezoidFollowsTheProjectiveMapping) {
    constexpr int32_t Size = 64;
    TestWindow window(Size, Size);
    ASSERT_NE(window.window, nullptr);
    GLEngine app(window.window, Size, Size);
    ASSERT_TRUE(app.prepared);
    Sprite grid(16, 16); // every texel names its own column and row
    Paint(&grid, [](int32_t x, int32_t y) {
        return Pixel{static_cast<uint8_t>(x * 16 + 8), static_cast<uint8_t>(y * 16 + 8), 128, 255};
    });
    Decal decal(&grid);
    // A square seen in perspective: the far (top) edge half as wide as the near one.
    const Vec2f corners[4] = {{16, 8}, {0, 56}, {64, 56}, {48, 8}};
    app.DrawDecalWarped(&decal, corners);
    const Frame& f = app.Compose();

    ExpectRgb(f.At(17, 9), {8, 8, 128, 255});
    ExpectRgb(f.At(62, 54), {248, 248, 128, 255});
    // Here the projective map gives texel (10.2, 10.5); either pair of affine triangles would
    // give row 7.8.
    ExpectRgb(f.At(38, 31), {168, 168, 128, 255});
}

} // namespace
} // namespace dral
