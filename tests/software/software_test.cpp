// The software renderer without a display: the letterboxed frame and its clear colour, Mesa's
// 8-bit arithmetic, textures that repeat, and saving frames as PNG on any renderer that can read
// its frame back.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>

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

// A window whose frame cannot be held skips drawing without throwing, counted, and drawing resumes
// with the next size that can be held.
TEST(SoftwareRenderer, AFrameTooLargeToHoldIsSkippedUntilASaneSizeReturns) {
    const struct {
        Vec2i window;
        bool held;
    } cases[] = {
        {{INT32_MAX, 48}, false}, {{64, INT32_MAX}, false},
        {{16385, 1}, false},   // a 1 x 1 view centred at 8192: 16385 wide
        {{16384, 1}, true},    // 16383 wide
        {{1, 16386}, false},   // a 1 x 0 view centred at 8193: 16386 tall
        {{8200, 8200}, false}, // each side fits, the pixels do not
    };
    SoftwareEngine app(64, 48);
    Paint(app.GetDrawTarget(), [](int32_t, int32_t) { return Red; });
    uint64_t skipped = 0;
    for (const auto& c : cases) {
        app.UpdateWindowSize(c.window.x, c.window.y);
        app.RunFrameFor(0.01f);
        skipped += c.held ? 0 : 1;
        EXPECT_EQ(app.software->SkippedFrames(), skipped) << c.window.x << "x" << c.window.y;
        EXPECT_EQ(app.SaveFrame("/dev/null") == Ok, c.held) << c.window.x << "x" << c.window.y;
        if (!c.held) {
            EXPECT_EQ(app.software->FrameSize(), Vec2i(0, 0));
        }
    }
    app.UpdateWindowSize(64, 48);
    app.RunFrameFor(0.01f);
    EXPECT_EQ(app.software->SkippedFrames(), skipped);
    ASSERT_EQ(app.software->FrameSize(), Vec2i(64, 48));
    EXPECT_EQ(app.software->Frame()[47 * 64 + 63], Red);
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
    ASSERT_EQ(app.SaveFrame(path), Ok);
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
    EXPECT_EQ(app.SaveFrame("/nonexistent-folder/frame.png"), Fail);
    // The small file fits the stream's buffer: the full disk shows only when it is closed.
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_EQ(app.SaveFrame("/dev/full"), Fail);
    }
}

} // namespace
} // namespace dral::testing
