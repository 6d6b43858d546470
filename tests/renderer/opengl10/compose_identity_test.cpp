// The renderer skips work that cannot change a pixel (a clear the next one overwrites, blending
// and modulation of opaque layers, re-specifying textures of unchanged size). Each frame here is
// read back and compared, pixel for pixel, with the same frame drawn by the plain steps: every
// clear, blending on, every layer modulated by its tint and uploaded whole.
#include "gl_fixture.h"

namespace dral {
namespace {

using namespace dral::testing;

struct LayerPicture {
    Sprite* sprite;
    Pixel tint;
};

// The plain composition, in raw GL on textures of its own.
Frame PlainCompose(const Vec2i& viewPos, const Vec2i& viewSize, int32_t windowW, int32_t windowH,
                   const std::vector<LayerPicture>& backToFront) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glViewport(viewPos.x, viewPos.y, viewSize.x, viewSize.y);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (const LayerPicture& layer : backToFront) {
        GLuint id = 0;
        glGenTextures(1, &id);
        glBindTexture(GL_TEXTURE_2D, id);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, static_cast<GLfloat>(GL_MODULATE));
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, layer.sprite->width, layer.sprite->height, 0,
                     GL_RGBA, GL_UNSIGNED_BYTE, layer.sprite->pixels);
        glBegin(GL_QUADS);
        glColor4ub(layer.tint.r, layer.tint.g, layer.tint.b, layer.tint.a);
        glTexCoord2f(0, 1);
        glVertex3f(-1, -1, 0);
        glTexCoord2f(0, 0);
        glVertex3f(-1, 1, 0);
        glTexCoord2f(1, 0);
        glVertex3f(1, 1, 0);
        glTexCoord2f(1, 1);
        glVertex3f(1, -1, 0);
        glEnd();
        glDeleteTextures(1, &id);
    }
    return ReadBackBuffer(windowW, windowH);
}

// A 40 x 30 screen letterboxed in a 64 x 64 window, so the clears matter at the bars.
struct ComposeIdentity : ::testing::Test {
    static constexpr int32_t WindowSize = 64, ScreenW = 40, ScreenH = 30;
    TestWindow window{WindowSize, WindowSize};
    std::unique_ptr<GLEngine> app;

    void SetUp() override {
        ASSERT_NE(window.window, nullptr);
        app = std::make_unique<GLEngine>(window.window, ScreenW, ScreenH);
        ASSERT_TRUE(app->prepared);
        app->UpdateWindowSize(WindowSize, WindowSize);
    }
    void TearDown() override { app.reset(); }

    void ExpectSameAsPlain(const std::vector<LayerPicture>& backToFront, const char* what) {
        const Frame composed = app->Compose();
        const Frame plain = PlainCompose(app->GetViewPos(), app->GetViewSize(), WindowSize,
                                         WindowSize, backToFront);
        ASSERT_EQ(composed.pixels.size(), plain.pixels.size()) << what;
        size_t differing = 0;
        for (size_t i = 0; i < plain.pixels.size(); ++i)
            differing += composed.pixels[i] != plain.pixels[i];
        EXPECT_EQ(differing, 0u) << what;
        // Not vacuous: the picture reached the window.
        EXPECT_NE(composed.At(WindowSize / 2, WindowSize / 2), Black) << what;
    }
};

void PaintGradient(Sprite* s, uint8_t alpha, uint8_t seed) {
    Paint(s, [=](int32_t x, int32_t y) {
        return Pixel(uint8_t(x * 6 + seed), uint8_t(y * 8), uint8_t(x * y + seed), alpha);
    });
}

TEST_F(ComposeIdentity, OpaqueBaseLayerUnderWhiteAndColouredTints) {
    Sprite* base = app->LayerSprite(0);
    PaintGradient(base, 255, 0);
    ExpectSameAsPlain({{base, White}}, "opaque, white tint");
    // Same size again: the texture is overwritten in place, with new content.
    PaintGradient(base, 255, 77);
    ExpectSameAsPlain({{base, White}}, "opaque, white tint, second frame");
    app->SetLayerTint(0, {200, 100, 50, 255});
    ExpectSameAsPlain({{base, {200, 100, 50, 255}}}, "opaque, coloured tint");
    app->SetLayerTint(0, {255, 255, 255, 130});
    ExpectSameAsPlain({{base, {255, 255, 255, 130}}}, "opaque, translucent tint");
}

TEST_F(ComposeIdentity, TranslucentPixelsAndStackedLayersStillBlend) {
    app->CreateLayer();
    app->EnableLayer(1, true);
    Sprite* back = app->LayerSprite(1);
    Sprite* front = app->LayerSprite(0);
    PaintGradient(back, 255, 30);
    app->SetDrawTarget(uint8_t{1});
    PaintGradient(front, 255, 90);
    front->SetPixel(5, 5, {255, 0, 0, 100}); // one translucent pixel is enough to blend
    app->SetDrawTarget(nullptr);
    ExpectSameAsPlain({{back, White}, {front, White}}, "one translucent pixel");

    Paint(front, [](int32_t x, int32_t) { return x < 20 ? Transparent : Pixel(0, 200, 0, 255); });
    ExpectSameAsPlain({{back, White}, {front, White}}, "half transparent over an opaque layer");
}

TEST_F(ComposeIdentity, ResizedScreenUploadsTheNewSize) {
    PaintGradient(app->LayerSprite(0), 255, 5);
    app->Compose();
    app->SetScreenSize(20, 40);
    app->UpdateWindowSize(WindowSize, WindowSize);
    PaintGradient(app->LayerSprite(0), 255, 140);
    ExpectSameAsPlain({{app->LayerSprite(0), White}}, "after a resize");
}

} // namespace
} // namespace dral
