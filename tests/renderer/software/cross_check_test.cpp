// The software renderer against the OpenGL renderer on Mesa, under a private Xvfb: random scenes
// of layers and decals, and Crumbolt frame by frame, composed by both and compared pixel for
// pixel. GL's frames are read from the back buffer just before each present.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "game/crumbolt.h"
#include "game/media_command.h"
#include "renderer/opengl10/gl_fixture.h"
#include "renderer/software/scene.h"
#include "support/private_xvfb.h"

namespace dral::testing {
namespace {

constexpr int32_t Width = 160, Height = 120;

// Measured on Mesa 22.3 llvmpipe over the 18 free scenes below: 2 differing pixels in all, at
// most 1 in a scene, the largest channel difference 51 (a neighbouring texel's colour). One of
// them lies inside a minified warped decal: its sample point sits within float rounding of a texel
// boundary, and the texel across it is not drawn next to it on screen.
constexpr int MaxDifferingPerScene = 2;
constexpr int MaxDifferingOffEdges = 1;
constexpr int MaxChannelDifference = 64;

using Picture = std::vector<Pixel>;

Picture FromGL(const Frame& f) {
    Picture p(size_t(f.width * f.height));
    for (int32_t y = 0; y < f.height; ++y)
        for (int32_t x = 0; x < f.width; ++x) p[size_t(y * f.width + x)] = f.At(x, y);
    return p;
}

struct Difference {
    int count = 0;
    int maxChannel = 0;
    // Differing pixels whose value is not found among the other frame's 3 x 3 neighbourhood:
    // anything but an edge or a texel boundary moved by one pixel.
    int notShifted = 0;
};

bool InNeighbourhood(const Picture& p, int32_t width, int32_t height, int32_t x, int32_t y,
                     Pixel v) {
    for (int32_t j = std::max(y - 1, 0); j <= std::min(y + 1, height - 1); ++j)
        for (int32_t i = std::max(x - 1, 0); i <= std::min(x + 1, width - 1); ++i)
            if (p[size_t(j * width + i)] == v) return true;
    return false;
}

Difference Compare(const Picture& gl, const Picture& sw, int32_t width, int32_t height) {
    Difference d;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            const Pixel a = gl[size_t(y * width + x)], b = sw[size_t(y * width + x)];
            if (a == b) continue;
            ++d.count;
            d.maxChannel = std::max({d.maxChannel, std::abs(a.r - b.r), std::abs(a.g - b.g),
                                     std::abs(a.b - b.b), std::abs(a.a - b.a)});
            if (!InNeighbourhood(gl, width, height, x, y, b) &&
                !InNeighbourhood(sw, width, height, x, y, a))
                ++d.notShifted;
        }
    return d;
}

class AgainstGL : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { xvfb = new PrivateXvfb("800x600x24"); }
    static void TearDownTestSuite() {
        delete xvfb;
        xvfb = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(xvfb->Started()) << "Xvfb did not start"; }

    // The scene composed on GL, then on the software renderer.
    static void Render(const Scene& scene, Picture& gl, Picture& sw) {
        {
            TestWindow window(Width, Height);
            ASSERT_NE(window.window, nullptr);
            GLEngine app(window.window, Width, Height);
            ASSERT_TRUE(app.prepared);
            SceneObjects objects = BuildScene(app, scene);
            gl = FromGL(app.Compose());
        }
        SoftwareEngine app(Width, Height);
        ASSERT_TRUE(app.prepared);
        SceneObjects objects = BuildScene(app, scene);
        app.RunFrameFor(0.01f);
        sw = app.software->Frame();
        ASSERT_EQ(app.software->FrameSize(), (Vec2i{Width, Height}));
    }

    static PrivateXvfb* xvfb;
};

PrivateXvfb* AgainstGL::xvfb = nullptr;

TEST_F(AgainstGL, AxisAlignedNearestQuadsAreExact) {
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        Picture gl, sw;
        Render(AlignedScene(seed, {Width, Height}), gl, sw);
        const Difference d = Compare(gl, sw, Width, Height);
        EXPECT_EQ(d.count, 0) << "scene " << seed << ", largest channel difference "
                              << d.maxChannel;
    }
}

TEST_F(AgainstGL, RotatedAndWarpedQuadsDifferOnlyByShiftedEdges) {
    int total = 0, largest = 0, offEdges = 0;
    // Mixed scenes, then scenes of rotated decals only and of warped decals only.
    const int forms[] = {-1, int(DecalForm::Rotated), int(DecalForm::RegionWarped)};
    for (int form : forms) {
        for (uint32_t seed = 1; seed <= 6; ++seed) {
            Scene scene = FreeScene(seed, {Width, Height});
            if (form >= 0)
                for (SceneDecal& decal : scene.decals) decal.form = DecalForm(form);
            Picture gl, sw;
            Render(scene, gl, sw);
            const Difference d = Compare(gl, sw, Width, Height);
            EXPECT_LE(d.count, MaxDifferingPerScene) << "scene " << seed << " form " << form;
            total += d.count;
            offEdges += d.notShifted;
            largest = std::max(largest, d.maxChannel);
        }
    }
    EXPECT_LE(offEdges, MaxDifferingOffEdges);
    EXPECT_LE(largest, MaxChannelDifference);
    RecordProperty("differing_pixels", total);
    RecordProperty("largest_channel_difference", largest);
}

// Crumbolt on the two renderers, driven with the same seed, keys and frame times.
template <class Engine>
std::vector<Picture> PlayCrumbolt(Engine& game, const std::function<Picture()>& frame) {
    crumbolt::ResetState();
    std::srand(77);
    game.OnCreate();
    running = true;
    std::vector<Picture> frames;
    for (int i = 0; i < 40; ++i) {
        game.UpdateKeyState(static_cast<int32_t>(Key::D), i >= 5 && i < 25);
        game.UpdateKeyState(static_cast<int32_t>(Key::S), i >= 15);
        game.RunFrameFor(crumbolt::TickLength * float(1 + i % 3));
        frames.push_back(frame());
    }
    return frames;
}

class CrumboltOnGL : public crumbolt::Crumbolt {
  public:
    explicit CrumboltOnGL(SDL_Window* window) {
        auto context = std::make_unique<CapturingContext>();
        capture = context.get();
        UseBackends(std::make_unique<WindowPlatform>(window),
                    std::make_unique<Renderer_OGL10>(std::move(context)));
        Setup(800, 600, 1, 1, false, false);
        UpdateWindowSize(800, 600);
        prepared = PrepareEngine() == Ok;
    }
    ~CrumboltOnGL() override {
        if (prepared) renderer->DestroyDevice();
    }
    CapturingContext* capture = nullptr;
    bool prepared = false;
};

class CrumboltOnSoftware : public crumbolt::Crumbolt {
  public:
    CrumboltOnSoftware() {
        auto r = std::make_unique<Renderer_Software>();
        software = r.get();
        UseBackends(std::make_unique<Platform_Headless>(), std::move(r));
        Setup(800, 600, 1, 1, false, false);
        UpdateWindowSize(800, 600);
        prepared = PrepareEngine() == Ok;
    }
    Renderer_Software* software = nullptr;
    bool prepared = false;
};

TEST_F(AgainstGL, CrumboltGivesTheSameFramesOnBoth) {
    crumbolt::SetMediaCommandSink([](const char*) {});
    std::vector<Picture> gl, sw;
    {
        TestWindow window(800, 600);
        ASSERT_NE(window.window, nullptr);
        CrumboltOnGL game(window.window);
        ASSERT_TRUE(game.prepared);
        gl = PlayCrumbolt(game, [&] { return FromGL(game.capture->presented); });
    }
    {
        CrumboltOnSoftware game;
        ASSERT_TRUE(game.prepared);
        sw = PlayCrumbolt(game, [&] { return game.software->Frame(); });
    }
    crumbolt::SetMediaCommandSink({});
    ASSERT_EQ(gl.size(), sw.size());
    for (size_t i = 0; i < gl.size(); ++i) {
        ASSERT_EQ(gl[i].size(), size_t(800 * 600)) << "frame " << i;
        EXPECT_EQ(Compare(gl[i], sw[i], 800, 600).count, 0) << "frame " << i;
    }
    // The frames show the game, not an empty screen: the player's blue square is there.
    EXPECT_NE(std::count(sw.back().begin(), sw.back().end(), Blue), 0);
}

} // namespace
} // namespace dral::testing
