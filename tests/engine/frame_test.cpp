// One frame at a time on the headless pair, with fixed elapsed times: the frame-rate title,
// the viewport geometry and the input seen by OnUpdate.
#include <gtest/gtest.h>

#include <limits>

#include "support/headless_engine.h"

namespace dral::testing {
namespace {

class Probe : public Tesserine {
  public:
    using Tesserine::appName;
    using Tesserine::frameTimer;
    bool OnUpdate(float) override { return true; }
};

using Engine = HeadlessEngine<Probe>;

TEST(FrameTitle, FirstFrameShowsOneAndALongStallUpdatesOnConsecutiveFrames) {
    Engine app;
    app.appName = "Probe";
    app.Prepare();
    app.RunFrameFor(0.01f);
    EXPECT_EQ(app.headlessPlatform->Title(), "https://tesserine.dev - Tesserine - Probe - FPS: 1");
    EXPECT_EQ(app.GetFps(), 1u);

    for (int i = 0; i < 9; i++) app.RunFrameFor(0.1f);
    EXPECT_EQ(app.headlessPlatform->Title(), "https://tesserine.dev - Tesserine - Probe - FPS: 1");
    app.RunFrameFor(0.1f); // the tenth frame completes the second
    EXPECT_EQ(app.GetFps(), 10u);

    app.RunFrameFor(2.5f); // a stall: more than a second in one frame
    EXPECT_EQ(app.GetFps(), 1u);
    EXPECT_GE(app.frameTimer, 1.0f);
    app.headlessPlatform->SetWindowTitle("");
    app.RunFrameFor(0.001f);
    EXPECT_EQ(app.headlessPlatform->Title(), "https://tesserine.dev - Tesserine - Probe - FPS: 1");
}

TEST(FrameTitle, AGameMayReplaceTheBanner) {
    Engine app;
    app.appName = "Probe";
    app.SetTitleBanner("");
    app.Prepare();
    app.RunFrameFor(0.01f);
    EXPECT_EQ(app.headlessPlatform->Title(), "Probe - FPS: 1");
    app.SetTitleBanner("Arcade | ");
    app.RunFrameFor(1.0f);
    EXPECT_EQ(app.headlessPlatform->Title(), "Arcade | Probe - FPS: 1");
}

struct ViewportCase {
    Vec2i window, pos, size;
};

TEST(Viewport, LetterboxesTheScreenIntoTheWindow) {
    const ViewportCase cases[] = {
        {{1920, 1080}, {240, 0}, {1440, 1080}},
        {{1280, 800}, {107, 0}, {1066, 800}},
        {{800, 1000}, {0, 200}, {800, 600}},
        {{800, 600}, {0, 0}, {800, 600}},
        {{0, 0}, {0, 0}, {0, 0}}, // minimised
        // No platform reports these, but every int32 gives a viewport inside the window.
        {{INT32_MAX, INT32_MAX}, {0, 268435455}, {INT32_MAX, 1610612736}},
        {{INT32_MAX, 1}, {1073741823, 0}, {1, 1}},
        {{-5, 100}, {0, 50}, {0, 0}},
        {{INT32_MIN, INT32_MIN}, {0, 0}, {0, 0}},
    };
    Engine app(800, 600);
    for (const auto& c : cases) {
        app.UpdateWindowSize(c.window.x, c.window.y);
        EXPECT_EQ(app.GetViewPos(), c.pos) << c.window.x << "x" << c.window.y;
        EXPECT_EQ(app.GetViewSize(), c.size) << c.window.x << "x" << c.window.y;
    }
    // A square screen in a window of int32's largest side: the float quotient rounds to 2^31,
    // one past int32, and must not wrap.
    Engine square(10, 10);
    square.UpdateWindowSize(INT32_MAX, INT32_MAX);
    EXPECT_EQ(square.GetViewPos(), Vec2i(0, 0));
    EXPECT_EQ(square.GetViewSize(), Vec2i(INT32_MAX, INT32_MAX));
}

TEST(Viewport, EachFrameSetsTheLatestViewport) {
    Engine app(800, 600);
    app.Prepare();
    app.UpdateWindowSize(1920, 1080);
    app.RunFrameFor(0.01f);
    EXPECT_EQ(app.headlessRenderer->viewportPos, Vec2i(240, 0));
    EXPECT_EQ(app.headlessRenderer->viewportSize, Vec2i(1440, 1080));
}

TEST(Prepare, LeavesOneShownBaseLayerAsDrawTarget) {
    Engine app(32, 16);
    app.Prepare();
    ASSERT_EQ(app.GetLayers().size(), 1u);
    const Layer& base = app.GetLayers()[0];
    EXPECT_TRUE(base.shown);
    EXPECT_TRUE(base.needsUpload);
    EXPECT_EQ(app.GetDrawTarget(), base.sprite);
    EXPECT_EQ(app.GetDrawTargetWidth(), 32);
    EXPECT_EQ(app.GetDrawTargetHeight(), 16);
}

// Layer indices are uint8_t: the 256th layer is the last one that can be selected, and made.
TEST(Layers, AtMost256LayersExistAndTheLastIsSelectable) {
    Engine app(2, 2);
    app.Prepare();
    for (uint32_t i = 1; i < MaxLayers; i++) ASSERT_EQ(app.CreateLayer(), i);
    EXPECT_EQ(app.CreateLayer(), NoLayer);
    ASSERT_EQ(app.GetLayers().size(), 256u);
    app.SetDrawTarget(uint8_t{255});
    EXPECT_EQ(app.GetDrawTarget(), app.GetLayers()[255].sprite);
}

TEST(ScreenSize, GivesEveryLayerANewSpriteAndReselectsTheBase) {
    Engine app(32, 16);
    app.Prepare();
    app.CreateLayer();
    app.SetDrawTarget(uint8_t{1});
    app.SetScreenSize(20, 10);
    for (const Layer& layer : app.GetLayers()) {
        EXPECT_EQ(layer.sprite->width, 20);
        EXPECT_EQ(layer.sprite->height, 10);
        EXPECT_TRUE(layer.needsUpload);
    }
    EXPECT_EQ(app.GetDrawTarget(), app.GetLayers()[0].sprite);
    app.RunFrameFor(0.01f);
    const auto& textures = app.headlessRenderer->textures;
    EXPECT_EQ(textures.at(app.GetLayers()[0].textureId).width, 20);
}

TEST(ScreenSize, RefusesSizesSetupWouldRefuseAndKeepsTheScreen) {
    Engine app(32, 16);
    app.Prepare();
    app.UpdateWindowSize(64, 32);
    Sprite* base = app.GetLayers()[0].sprite;
    const int32_t huge = std::numeric_limits<int32_t>::max();
    for (const Vec2i& size : {Vec2i(0, 10), Vec2i(10, 0), Vec2i(-4, 10), Vec2i(10, -1)}) {
        EXPECT_FALSE(app.SetScreenSize(size.x, size.y)) << size.x << "x" << size.y;
        EXPECT_EQ(app.ScreenWidth(), 32);
        EXPECT_EQ(app.ScreenHeight(), 16);
        EXPECT_EQ(app.GetLayers()[0].sprite, base);
        app.UpdateWindowSize(128, 64); // the viewport stays finite and inside the window
        EXPECT_EQ(app.GetViewSize(), Vec2i(128, 64));
    }
    // A size that cannot be allocated leaves every layer as it was, too.
    EXPECT_FALSE(app.SetScreenSize(huge, huge));
    EXPECT_EQ(app.GetLayers()[0].sprite, base);
    EXPECT_EQ(app.ScreenWidth(), 32);
    EXPECT_TRUE(app.SetScreenSize(2, 1));
    EXPECT_EQ(app.ScreenWidth(), 2);
}

TEST(ScreenSize, AScreenTooLargeToAllocateStopsTheRunInsteadOfDrawing) {
    Engine app(32, 16);
    const int32_t huge = std::numeric_limits<int32_t>::max();
    ASSERT_EQ(app.Setup(huge, huge, 1, 1), Ok);
    EXPECT_EQ(app.PrepareEngine(), Fail);
    EXPECT_EQ(app.GetLayers()[0].sprite->pixels, nullptr);
}

} // namespace
} // namespace dral::testing
