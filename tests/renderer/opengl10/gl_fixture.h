// Real-GL test support: a small SDL2 window with a double-buffered RGBA context, a context seam
// that reads the back buffer just before each swap, and an engine composed through
// Renderer_OGL10 on that window, all on the test's thread.
#pragma once

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

#include "engine/tesserine.h"
#include "platform/headless/platform_headless.h"
#include "renderer/opengl10/renderer_ogl10.h"
#include "support/paint.h"

namespace dral::testing {

// A frame read back from GL, addressed like the screen: (0, 0) is the top-left pixel.
struct Frame {
    int32_t width = 0, height = 0;
    std::vector<Pixel> pixels;
    Pixel At(int32_t x, int32_t y) const { return pixels[size_t((height - 1 - y) * width + x)]; }
};

inline Frame ReadBackBuffer(int32_t width, int32_t height) {
    Frame frame{width, height, std::vector<Pixel>(size_t(width * height))};
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, frame.pixels.data());
    return frame;
}

// The system context, recording the swap intervals asked for and the last frame presented.
class CapturingContext : public GLContext {
  public:
    bool Create(void* handle) override {
        window = static_cast<SDL_Window*>(handle);
        return inner->Create(handle);
    }
    void SetSwapInterval(int interval) override {
        intervals.push_back(interval);
        inner->SetSwapInterval(interval);
    }
    void Swap() override {
        int w = 0, h = 0;
        SDL_GL_GetDrawableSize(window, &w, &h);
        presented = ReadBackBuffer(w, h);
        inner->Swap();
    }
    void Destroy() override { inner->Destroy(); }

    std::vector<int> intervals;
    Frame presented;

  private:
    std::unique_ptr<GLContext> inner = CreateSystemGLContext();
    SDL_Window* window = nullptr;
};

// The window a test draws into; its surface is asked for the way the SDL platform asks for it.
class TestWindow {
  public:
    TestWindow(int32_t width, int32_t height) {
        // No session bus under Xvfb: SDL must not wait for one.
        setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 0);
        // Readback tests must not pass vacuously: without a display they fail.
        if (SDL_Init(SDL_INIT_VIDEO) != 0) {
            ADD_FAILURE() << "no display for GL (run under tools/with-xvfb): " << SDL_GetError();
            return;
        }
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        for (SDL_GLattr channel :
             {SDL_GL_RED_SIZE, SDL_GL_GREEN_SIZE, SDL_GL_BLUE_SIZE, SDL_GL_ALPHA_SIZE})
            SDL_GL_SetAttribute(channel, 8);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
        SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
        window = SDL_CreateWindow("gl_tests", 0, 0, width, height, SDL_WINDOW_OPENGL);
        if (!window) ADD_FAILURE() << "no GL window: " << SDL_GetError();
    }
    ~TestWindow() {
        if (window) SDL_DestroyWindow(window);
        SDL_Quit();
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    SDL_Window* window = nullptr;
};

// The headless platform, except that the graphics device is made for the test window.
class WindowPlatform : public Platform_Headless {
  public:
    explicit WindowPlatform(SDL_Window* w) : window(w) {}
    ResultCode CreateGraphics(bool fullScreen, bool vsync, const Vec2i& viewPos,
                              const Vec2i& viewSize) override {
        if (renderer->CreateDevice({window}, fullScreen, vsync) != Ok) return Fail;
        renderer->SetViewport(viewPos, viewSize);
        return Ok;
    }

  private:
    SDL_Window* window;
};

// An engine whose screen fills the test window one pixel per screen pixel, composed on real GL.
class GLEngine : public Tesserine {
  public:
    GLEngine(SDL_Window* window, int32_t width, int32_t height) {
        auto context = std::make_unique<CapturingContext>();
        capture = context.get();
        UseBackends(std::make_unique<WindowPlatform>(window),
                    std::make_unique<Renderer_OGL10>(std::move(context)));
        Setup(width, height, 1, 1, false, false);
        UpdateWindowSize(width, height);
        prepared = PrepareEngine() == Ok;
    }
    ~GLEngine() override {
        if (prepared) renderer->DestroyDevice();
    }

    bool OnUpdate(float) override { return true; }

    // Runs one frame and returns what it presented.
    const Frame& Compose() {
        RunFrameFor(0.01f);
        return capture->presented;
    }
    Sprite* LayerSprite(size_t layer) { return layers[layer].sprite; }

    using Tesserine::fontDecal;
    using Tesserine::fontSprite;
    CapturingContext* capture = nullptr;
    bool prepared = false;
};

// A decal of one colour, with its sprite.
struct SolidDecal {
    SolidDecal(int32_t w, int32_t h, Pixel p) : sprite(w, h) {
        Paint(&sprite, [p](int32_t, int32_t) { return p; });
        decal = std::make_unique<Decal>(&sprite);
    }
    Sprite sprite;
    std::unique_ptr<Decal> decal;
};

inline void ExpectRgb(Pixel actual, Pixel expected, int tolerance = 0) {
    EXPECT_NEAR(actual.r, expected.r, tolerance);
    EXPECT_NEAR(actual.g, expected.g, tolerance);
    EXPECT_NEAR(actual.b, expected.b, tolerance);
}

} // namespace dral::testing
