// The software renderer against the OpenGL renderer on Mesa, under a private Xvfb: random scenes
// of layers and decals composed by both and read back, compared pixel for pixel.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "gl/gl_fixture.h"
#include "software/scene.h"
#include "support/private_xvfb.h"

namespace dral::testing {
namespace {

constexpr int32_t Width = 160, Height = 120;

struct Comparison {
    int differing = 0;
    int maxChannel = 0;
    int firstX = -1, firstY = -1;
    Pixel gl, sw;
};

Comparison Compare(const Sprite& gl, const Sprite& sw) {
    Comparison c;
    for (int32_t y = 0; y < gl.height; ++y)
        for (int32_t x = 0; x < gl.width; ++x) {
            const Pixel a = gl.pixels[y * gl.width + x], b = sw.pixels[y * sw.width + x];
            if (a == b) continue;
            if (c.differing++ == 0) {
                c.firstX = x;
                c.firstY = y;
                c.gl = a;
                c.sw = b;
            }
            c.maxChannel = std::max({c.maxChannel, std::abs(a.r - b.r), std::abs(a.g - b.g),
                                     std::abs(a.b - b.b), std::abs(a.a - b.a)});
        }
    return c;
}

class AgainstGL : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { xvfb = new PrivateXvfb("320x240x24"); }
    static void TearDownTestSuite() {
        delete xvfb;
        xvfb = nullptr;
    }

    template <class MakeScene> void Render(const MakeScene& make, Sprite& gl, Sprite& sw) {
        ASSERT_TRUE(xvfb->Started());
        {
            TestWindow window(Width, Height);
            ASSERT_NE(window.window, nullptr);
            GLEngine app(window.window, Width, Height);
            ASSERT_TRUE(app.prepared);
            SceneObjects objects = BuildScene(app, make());
            const Frame& f = app.Compose();
            ASSERT_TRUE(gl.Resize(f.width, f.height));
            for (int32_t y = 0; y < f.height; ++y)
                for (int32_t x = 0; x < f.width; ++x) gl.pixels[y * f.width + x] = f.At(x, y);
        }
        SoftwareEngine app(Width, Height);
        ASSERT_TRUE(app.prepared);
        SceneObjects objects = BuildScene(app, make());
        app.RunFrameFor(0.01f);
        ASSERT_TRUE(renderer->ReadFrame(sw));
    }

    static PrivateXvfb* xvfb;
};

PrivateXvfb* AgainstGL::xvfb = nullptr;

TEST_F(AgainstGL, AlignedScenes) {
    for (uint32_t seed = 1; seed <= 10; ++seed) {
        Sprite gl, sw;
        Render([&] { return AlignedScene(seed, {Width, Height}); }, gl, sw);
        const Comparison c = Compare(gl, sw);
        std::printf("aligned %u: %d differ, max %d; first (%d,%d) gl %d %d %d %d sw %d %d %d %d\n",
                    seed, c.differing, c.maxChannel, c.firstX, c.firstY, c.gl.r, c.gl.g, c.gl.b,
                    c.gl.a, c.sw.r, c.sw.g, c.sw.b, c.sw.a);
    }
}

TEST_F(AgainstGL, FreeScenes) {
    for (uint32_t seed = 1; seed <= 10; ++seed) {
        Sprite gl, sw;
        Render([&] { return FreeScene(seed, {Width, Height}); }, gl, sw);
        const Comparison c = Compare(gl, sw);
        std::printf("free %u: %d differ, max %d; first (%d,%d) gl %d %d %d %d sw %d %d %d %d\n",
                    seed, c.differing, c.maxChannel, c.firstX, c.firstY, c.gl.r, c.gl.g, c.gl.b,
                    c.gl.a, c.sw.r, c.sw.g, c.sw.b, c.sw.a);
    }
}

} // namespace
} // namespace dral::testing
