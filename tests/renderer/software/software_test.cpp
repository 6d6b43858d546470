// The software renderer without a display: the letterboxed frame and its clear colour, Mesa's
// 8-bit arithmetic, textures that repeat, and saving frames as PNG on any renderer that can read
// its frame back.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "assets/image_decoder.h"
#include "assets/scratch_dir.h"
#include "renderer/software/scene.h"
#include "support/headless_engine.h"

namespace dral::testing {
namespace {

// The game of the README's hand-driven frames: a moving red square on a dark blue ground.
class MyGame : public Tesserine {
  public:
    bool OnCreate() override { return ++creates == 1; }
    bool OnUpdate(float) override {
        Clear(Pixel{10, 20, 30, 255});
        FillRect(frames++, 0, 3, 3, Red);
        return true;
    }
    bool OnDestroy() override { return ++destroys == 1; }
    static inline int creates = 0, destroys = 0;
    int frames = 0;
};

void ReadmeHandDrivenFrames() {
    // README: hand-driven frames
    MyGame app;
    app.UseBackends(std::make_unique<dral::Platform_Headless>(),
                    std::make_unique<dral::Renderer_Software>());
    if (app.Setup(160, 120, 2, 2) == dral::Ok && app.StartManualRun() == dral::Ok) {
        for (int frame = 0; frame < 60; frame++) app.RunFrameFor(1.0f / 60.0f);
        app.SaveFrame("frame.png"); // the 60th frame, 320 x 240
        app.EndManualRun();
    }
    // README: end
}

// The lines after the first one holding `first`, up to the next line that is `last` but for its
// indentation, each without `indent` leading spaces.
std::string Block(const std::string& path, const std::string& first, const std::string& last,
                  size_t indent) {
    std::ifstream in(path);
    std::string line, block;
    bool inside = false;
    while (std::getline(in, line)) {
        const size_t text = line.find_first_not_of(' ');
        if (inside && text != std::string::npos && line.substr(text) == last) return block;
        if (inside) block += line.substr(std::min(indent, line.size())) + "\n";
        if (line.find(first) != std::string::npos) inside = true;
    }
    return "(no block after " + first + ")";
}

using HandDriven = ScratchDir;

// The README's recipe as it stands there: one call prepares the engine as Run would, the frames
// are the caller's, and the end calls OnDestroy once.
TEST_F(HandDriven, TheReadmesRecipeRunsAsWritten) {
    const std::string readme =
        Block(SOURCE_DIR "/README.md", "`RunFrameFor(seconds)` runs one", "```", 0);
    const std::string ours = Block(SOURCE_DIR "/tests/renderer/software/software_test.cpp",
                                   "// README: hand-driven frames", "// README: end", 4);
    EXPECT_EQ("\n```cpp\n" + ours, readme);

    ReadmeHandDrivenFrames();
    EXPECT_EQ(MyGame::creates, 1);
    EXPECT_EQ(MyGame::destroys, 1);
    if (!DefaultImageDecoder()) GTEST_SKIP() << "no image decoder to read the PNG back";
    Sprite frame("frame.png");
    ASSERT_EQ(frame.width, 320);
    ASSERT_EQ(frame.height, 240);
    // The 60th frame's square stands at engine x 59, two window pixels per engine pixel.
    EXPECT_EQ(frame.GetPixel(118, 5), Red);
    EXPECT_EQ(frame.GetPixel(117, 5), (Pixel{10, 20, 30, 255}));
    EXPECT_EQ(frame.GetPixel(124, 5), (Pixel{10, 20, 30, 255}));
    EXPECT_EQ(frame.GetPixel(123, 6), (Pixel{10, 20, 30, 255}));
}

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
    // A lowered limit holds a frame of exactly that many pixels, and not one more.
    app.software->SetFrameLimit(64 * 48);
    app.UpdateWindowSize(65, 48);
    app.RunFrameFor(0.01f);
    EXPECT_EQ(app.software->SkippedFrames(), skipped + 1);
    app.UpdateWindowSize(64, 48);
    app.RunFrameFor(0.01f);
    EXPECT_EQ(app.software->SkippedFrames(), skipped + 1);
    EXPECT_EQ(app.software->FrameSize(), Vec2i(64, 48));
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

// Unrotated quads look their texel columns up from a map made once per triangle; with no storage
// for the map the rasteriser takes its general path, which must give the same pixels.
TEST(SoftwareRenderer, MappedColumnsGiveTheGeneralPathsPixels) {
    struct Case {
        const char* name;
        int32_t imageWidth, imageHeight;
        float left, top, right, bottom; // frame pixels
        float s0, t0, s1, t1;           // texture coordinates at the top-left and bottom-right
        Pixel tint;
        bool blend, opaque;
        float lean; // the bottom corners' shift in x: not exactly axis-aligned
    };
    const Case cases[] = {
        {"layer 1:1, wrapping", 37, 23, 0, 0, 53, 41, 0.3f, -0.2f, 0.3f + 53 / 37.0f, 1.58f, White,
         true, true, 0},
        {"layer 1:1, copied", 64, 64, 0, 0, 53, 41, 0.25f, 0, 0.25f + 53 / 64.0f, 41 / 64.0f, White,
         false, true, 0},
        {"layer scaled, offsets", 16, 8, -3.5f, 2.25f, 60, 44, -0.7f, 1.3f, 2.9f, -1.1f, White,
         true, false, 0},
        {"decal tinted, translucent",
         13,
         9,
         7.3f,
         5.6f,
         40.1f,
         31.9f,
         0,
         0,
         1,
         1,
         {255, 200, 100, 160},
         true,
         false,
         0},
        {"decal mirrored", 13, 9, 4, 3, 44, 37, 1, 0, 0, 1, {90, 255, 30, 255}, true, false, 0},
        {"near axis-aligned", 37, 23, 2, 1, 50, 40, 0, 0, 1.7f, 1.3f, White, true, false, 0.2f},
    };
    for (const Case& c : cases) {
        uint32_t state = 12345;
        const auto next = [&] { return state = state * 1664525u + 1013904223u; };
        std::vector<Pixel> texels(size_t(c.imageWidth * c.imageHeight));
        for (Pixel& p : texels) {
            p.packed = next();
            if (c.opaque || next() % 4) p.a = 255;
        }
        constexpr int32_t Width = 56, Height = 44;
        std::vector<Pixel> background(size_t(Width * Height));
        for (Pixel& p : background) p.packed = next();
        const software::Corner corners[4] = {{c.left, c.top, c.s0, c.t0, 1},
                                             {c.left + c.lean, c.bottom, c.s0, c.t1, 1},
                                             {c.right + c.lean, c.bottom, c.s1, c.t1, 1},
                                             {c.right, c.top, c.s1, c.t0, 1}};
        const software::Image image{texels.data(), c.imageWidth, c.imageHeight};
        std::vector<software::Column> columns(Width);
        std::vector<Pixel> general = background, mapped = background;
        // A viewport inside the frame on the right, as the letterbox bars leave it.
        software::Target target{general.data(), Width, Height, 0, 1, Width - 3, Height};
        software::DrawQuad(target, corners, image, c.tint, c.blend);
        target.pixels = mapped.data();
        target.columns = &columns;
        software::DrawQuad(target, corners, image, c.tint, c.blend);
        EXPECT_NE(general, background) << c.name;
        for (size_t i = 0; i < general.size(); ++i)
            if (general[i] != mapped[i]) {
                ADD_FAILURE() << c.name << ": pixel " << i % Width << ", " << i / Width;
                break;
            }
    }
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
    EXPECT_EQ(app.SaveFrame("/nonexistent-folder/frame.png"), Fail);
    // The small file fits the stream's buffer: the full disk shows only when it is closed.
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_EQ(app.SaveFrame("/dev/full"), Fail);
    }
}

} // namespace
} // namespace dral::testing
