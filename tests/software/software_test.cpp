// The software renderer without a display: the letterboxed frame and its clear colour, Mesa's
// 8-bit arithmetic, textures that repeat, and saving frames as PNG on any renderer that can read
// its frame back.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>

#include "assets/image_decoder.h"
#include "software/scene.h"
#include "support/headless_engine.h"

namespace dral::testing {
namespace {

TEST(SoftwareRenderer, FrameIsTheWindowWithTheViewportCentredInIt) {
    SoftwareEngine app(100, 50);
    app.UpdateWindowSize(120, 80); // viewport 120 x 60, 10 rows of bars above and below
    Paint(app.GetDrawTarget(), [](int32_t, int32_t) { return Red; });
    app.RunFrameFor(0.01f);
    ASSERT_EQ(app.software->FrameSize(), (Vec2i{120, 80}));
    const std::vector<Pixel>& f = app.software->Frame();
    EXPECT_EQ(f[9 * 120 + 5], Black);
    EXPECT_EQ(f[10 * 120 + 5], Red);
    EXPECT_EQ(f[69 * 120 + 119], Red);
    EXPECT_EQ(f[70 * 120 + 5], Black);
}

TEST(SoftwareRenderer, AWindowTooLargeForOneArrayGetsNoFrameRatherThanAShortOne) {
    // 70000 x 70000 pixels wrap to a 32-bit count of 605 million; a 64-bit build holds the count
    // but not the 39 GB, so only the 32-bit build runs this.
    if (sizeof(size_t) > 4) GTEST_SKIP() << "a 64-bit build can count these pixels";
    SoftwareEngine app(8, 8);
    app.UpdateWindowSize(70000, 70000);
    Paint(app.GetDrawTarget(), [](int32_t, int32_t) { return Red; });
    app.RunFrameFor(0.01f);
    EXPECT_EQ(app.software->FrameSize(), (Vec2i{0, 0}));
    EXPECT_TRUE(app.software->Frame().empty());
    app.UpdateWindowSize(8, 8);
    app.RunFrameFor(0.01f);
    ASSERT_EQ(app.software->FrameSize(), (Vec2i{8, 8}));
    EXPECT_EQ(app.software->Frame()[63], Red);
}

TEST(SoftwareRenderer, BlendsAndTintsWithTheGpusRounding) {
    // Values read back from Mesa: both blend terms round on their own, 229 at 152 over 15 is 142.
    EXPECT_EQ(software::BlendChannel(229, 15, 152), 142u);
    EXPECT_EQ(software::BlendChannel(77, 200, 255), 77u);
    EXPECT_EQ(software::BlendChannel(77, 200, 0), 200u);
    EXPECT_EQ(software::Modulate(255, 128), 128u);
    EXPECT_EQ(software::Modulate(128, 128), 64u);

    SoftwareEngine app(4, 4);
    Paint(app.GetDrawTarget(), [](int32_t x, int32_t) {
        return x < 2 ? Pixel{200, 100, 50, 255} : Transparent;
    });
    app.SetLayerTint(0, {255, 128, 255, 255});
    app.RunFrameFor(0.01f);
    EXPECT_EQ(app.software->Frame()[0], (Pixel{200, 50, 50, 255}));
    EXPECT_EQ(app.software->Frame()[3], Black); // transparent over the clear colour
}

TEST(SoftwareRenderer, LayerOffsetWrapsTheTexture) {
    SoftwareEngine app(8, 2);
    Paint(app.GetDrawTarget(), [](int32_t x, int32_t) {
        return Pixel{uint8_t(x * 10), 0, 0, 255};
    });
    app.SetLayerOffset(0, 0.25f,
                       0.0f); // two columns to the left, the first two come in at the right
    app.RunFrameFor(0.01f);
    const std::vector<Pixel>& f = app.software->Frame();
    EXPECT_EQ(f[0].r, 20);
    EXPECT_EQ(f[5].r, 70);
    EXPECT_EQ(f[6].r, 0);
    EXPECT_EQ(f[7].r, 10);
}

TEST(SoftwareRenderer, DecalsWithCornersFarOutsideTheFrameStillCoverIt) {
    // Corners a million and 1e18 pixels away are clipped before the integer edge arithmetic;
    // the crossings must still land where the edges cross the frame.
    for (const float far : {1.0e6f, 1.0e18f}) {
        for (const bool warped : {false, true}) {
            SoftwareEngine app(8, 8);
            Sprite image(1, 1);
            image.SetPixel(0, 0, Green);
            Decal decal(&image);
            Paint(app.GetDrawTarget(), [](int32_t, int32_t) { return Transparent; });
            if (warped)
                app.DrawDecalWarped(&decal, {Vec2f{-far, -far}, Vec2f{-far, far},
                                             Vec2f{far, far * 0.5f}, Vec2f{far, -far}});
            else
                app.DrawDecal({-far, -far}, &decal, {2.0f * far, 2.0f * far});
            app.RunFrameFor(0.01f);
            const std::vector<Pixel>& f = app.software->Frame();
            for (const size_t i : {size_t(0), size_t(7), size_t(36), size_t(63)})
                EXPECT_EQ(f[i], Green)
                    << "corners at " << far << (warped ? " warped" : "") << ", pixel " << i;
        }
    }
}

// The digest of the frames of many random scenes, composed on the software renderer. The values
// were taken from the plain rasteriser before its fast paths came: any pixel that moves changes
// them. A failure says only that something changed; the GL cross-check says what.
uint64_t SceneDigest(bool aligned, uint32_t firstSeed, int count) {
    uint64_t digest = 14695981039346656037ull; // FNV-1a over the frames' bytes
    for (uint32_t seed = firstSeed; seed < firstSeed + uint32_t(count); ++seed) {
        const Vec2i screen{160, 120};
        SoftwareEngine app(screen.x, screen.y);
        const Scene scene = aligned ? AlignedScene(seed, screen) : FreeScene(seed, screen);
        const SceneObjects objects = BuildScene(app, scene);
        app.RunFrameFor(0.01f);
        for (const Pixel p : app.software->Frame())
            for (int shift = 0; shift < 32; shift += 8)
                digest = (digest ^ ((p.packed >> shift) & 0xFF)) * 1099511628211ull;
    }
    return digest;
}

TEST(SoftwareRenderer, ComposedScenesKeepTheirExactPixels) {
    EXPECT_EQ(SceneDigest(true, 1, 40), 475782309481961083ull);
    EXPECT_EQ(SceneDigest(false, 1, 40), 6363741712276614787ull);
}

TEST(SaveFrame, WritesTheLastFrameAsAnOpaquePngAndFailsWithoutReadback) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("save_frame_" + std::to_string(std::random_device()()) + ".png"))
                                 .string();
    {
        HeadlessEngine<> headless(8, 8);
        headless.Prepare();
        headless.RunFrameFor(0.01f);
        EXPECT_EQ(headless.SaveFrame(path), Fail);
        EXPECT_FALSE(std::filesystem::exists(path));
    }
    SoftwareEngine app(16, 8);
    EXPECT_EQ(app.SaveFrame(path), Fail); // nothing presented yet
    Paint(app.GetDrawTarget(), [](int32_t x, int32_t y) {
        return Pixel{uint8_t(x * 16), uint8_t(y * 32), 99, uint8_t(x < 8 ? 255 : 128)};
    });
    app.RunFrameFor(0.01f);
    EXPECT_EQ(app.SaveFrame("/nonexistent-folder/frame.png"), Fail);
    ASSERT_EQ(app.SaveFrame(path), Ok);
    // A build without an image decoder (the 32-bit one) cannot read the picture back.
    if (!DefaultImageDecoder()) {
        std::filesystem::remove(path);
        GTEST_SKIP() << "no image decoder to read the PNG back";
    }
    Sprite loaded(path);
    std::filesystem::remove(path);
    ASSERT_EQ(loaded.width, 16);
    ASSERT_EQ(loaded.height, 8);
    const std::vector<Pixel>& f = app.software->Frame();
    for (int32_t i = 0; i < 16 * 8; ++i) {
        Pixel expected = f[size_t(i)];
        expected.a = 255;
        ASSERT_EQ(loaded.pixels[i], expected) << i;
    }
}

} // namespace
} // namespace dral::testing
