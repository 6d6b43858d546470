// Renderer_OGL10 on its own, against a real context: device creation through the context seam,
// clearing, the layer quad's texture coordinates, nearest filtering, uploads and deletion.
#include "gl_fixture.h"

namespace dral {
namespace {

using testing::CapturingContext;
using testing::Frame;
using testing::Paint;
using testing::ReadBackBuffer;
using testing::TestWindow;

constexpr int32_t Size = 32;

void ExpectRgb(Pixel actual, Pixel expected, int tolerance = 0) {
    EXPECT_NEAR(actual.r, expected.r, tolerance);
    EXPECT_NEAR(actual.g, expected.g, tolerance);
    EXPECT_NEAR(actual.b, expected.b, tolerance);
}

struct RendererOnGL : ::testing::Test {
    TestWindow window{Size, Size};
    CapturingContext* context = nullptr;
    std::unique_ptr<Renderer_OGL10> gl;

    void SetUp() override {
        ASSERT_NE(window.window, nullptr);
        auto c = std::make_unique<CapturingContext>();
        context = c.get();
        gl = std::make_unique<Renderer_OGL10>(std::move(c));
        ASSERT_EQ(gl->CreateDevice({window.window}, false, false), Ok);
        gl->SetViewport({0, 0}, {Size, Size});
        gl->ClearBuffer(Black, false);
        gl->BeginDrawing();
    }
    void TearDown() override {
        if (gl) gl->DestroyDevice();
    }

    Frame Read() { return ReadBackBuffer(Size, Size); }
};

TEST_F(RendererOnGL, DeviceComesFromTheWindowAndSwapsWithoutWaitUnlessVsync) {
    EXPECT_EQ(context->intervals, std::vector<int>{0});
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    gl->DestroyDevice();

    auto c = std::make_unique<CapturingContext>();
    CapturingContext* withVsync = c.get();
    Renderer_OGL10 second(std::move(c));
    EXPECT_EQ(second.CreateDevice({}, false, true), Fail);
    EXPECT_EQ(second.CreateDevice({nullptr}, false, true), Fail);
    EXPECT_EQ(second.CreateDevice({window.window}, false, true), Ok);
    EXPECT_TRUE(withVsync->intervals.empty());
    second.DestroyDevice();
    gl.reset();
}

TEST_F(RendererOnGL, ClearFillsWithTheColour) {
    gl->ClearBuffer({255, 128, 0, 255}, true);
    ExpectRgb(Read().At(5, 7), {255, 128, 0, 255});
    float colour[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, colour);
    EXPECT_FLOAT_EQ(colour[1], 128.0f / 255.0f);
}

TEST_F(RendererOnGL, LayerQuadShowsRowZeroAtTheTopAndSamplesNearest) {
    // Two columns and two rows: any filtering but nearest would blend across the middle.
    Sprite quads(2, 2);
    const Pixel colours[4] = {Red, Green, Blue, White};
    Paint(&quads, [&](int32_t x, int32_t y) { return colours[y * 2 + x]; });
    const uint32_t id = gl->CreateTexture(2, 2);
    gl->UpdateTexture(id, &quads);
    gl->DrawLayerQuad({0, 0}, {1, 1}, White);
    const Frame f = Read();
    ExpectRgb(f.At(0, 0), Red);
    ExpectRgb(f.At(15, 15), Red);
    ExpectRgb(f.At(16, 15), Green);
    ExpectRgb(f.At(15, 16), Blue);
    ExpectRgb(f.At(31, 31), White);
    for (int32_t x = 0; x < Size; ++x) {
        SCOPED_TRACE(x);
        ExpectRgb(f.At(x, 3), x < 16 ? Red : Green);
    }
}

TEST_F(RendererOnGL, UploadReplacesTheWholeImageWithTheSpritesSize) {
    Sprite small(2, 2);
    Paint(&small, [](int32_t, int32_t) { return Red; });
    Sprite wide(4, 1);
    const Pixel colours[4] = {Blue, Green, Yellow, Magenta};
    Paint(&wide, [&](int32_t x, int32_t) { return colours[x]; });

    const uint32_t id = gl->CreateTexture(2, 2);
    gl->UpdateTexture(id, &small);
    const uint32_t other = gl->CreateTexture(1, 1);
    gl->BindTexture(id);
    gl->UpdateTexture(id, &wide);
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    EXPECT_EQ(width, 4);
    EXPECT_EQ(height, 1);

    gl->DrawLayerQuad({0, 0}, {1, 1}, White);
    const Frame f = Read();
    for (int32_t i = 0; i < 4; ++i) ExpectRgb(f.At(i * 8 + 4, 20), colours[i]);

    EXPECT_EQ(gl->DeleteTexture(other), other);
    EXPECT_FALSE(glIsTexture(other));
    EXPECT_TRUE(glIsTexture(id));
}

TEST_F(RendererOnGL, PresentSwapsTheComposedFrame) {
    gl->ClearBuffer(Cyan, false);
    gl->PresentFrame();
    ExpectRgb(context->presented.At(0, 0), Cyan);
}

} // namespace
} // namespace dral
