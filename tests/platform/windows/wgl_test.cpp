// The WGL context behind the OpenGL renderer, on a real window: the frame it draws is read back,
// a window that cannot take the renderer's pixel format gets no device, and without a context the
// engine's software frames reach the window through GDI.
#include <gtest/gtest.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <GL/gl.h>

#include "engine/sprite.h"
#include "engine/tesserine.h"
#include "platform/windows/platform_windows.h"
#include "renderer/opengl10/renderer_ogl10.h"
#include "renderer/software/renderer_software.h"
#include "support/headless_engine.h"

namespace dral {
namespace {

class WglTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Vec2i size{64, 48};
        ASSERT_EQ(window.CreateAppWindow({30, 30}, size, false), Ok);
        ASSERT_EQ(gl.CreateDevice({window.WindowHandle()}, false, false), Ok);
        gl.SetViewport({0, 0}, size);
    }
    void TearDown() override { gl.DestroyDevice(); }

    Pixel ReadBack(int x, int y) {
        Pixel p;
        glReadBuffer(GL_BACK);
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &p);
        return p;
    }

    // The window procedure reports to whichever engine exists.
    testing::HeadlessEngine<> engine{64, 48};
    Platform_Windows window;
    Renderer_OGL10 gl;
};

TEST_F(WglTest, ClearsTheBackBuffer) {
    gl.ClearBuffer(Pixel(255, 128, 0, 255), false);
    gl.BeginDrawing(); // a clear is held back until something could draw over it
    const Pixel p = ReadBack(10, 10);
    EXPECT_EQ(p.r, 255);
    EXPECT_EQ(p.g, 128);
    EXPECT_EQ(p.b, 0);
    gl.PresentFrame();
}

TEST_F(WglTest, DrawsALayerTextureWithItsTopRowAtTheTop) {
    Sprite sprite(2, 2);
    sprite.SetPixel(0, 0, Pixel(255, 0, 0, 255));
    sprite.SetPixel(1, 0, Pixel(255, 0, 0, 255));
    sprite.SetPixel(0, 1, Pixel(0, 0, 255, 255));
    sprite.SetPixel(1, 1, Pixel(0, 0, 255, 255));
    gl.ClearBuffer(Pixel(0, 0, 0, 255), false);
    gl.BeginDrawing();
    gl.UpdateTexture(gl.CreateTexture(2, 2), &sprite);
    gl.DrawLayerQuad({0, 0}, {1, 1}, Pixel(255, 255, 255, 255));
    // GL counts rows from the bottom.
    EXPECT_EQ(ReadBack(10, 40).r, 255);
    EXPECT_EQ(ReadBack(10, 5).b, 255);
}

// A window's pixel format can be set only once. One that already carries another format refuses
// the renderer's, and the device must then fail rather than draw nowhere.
TEST(WglFailureTest, AWindowWithAnotherPixelFormatGetsNoDevice) {
    testing::HeadlessEngine<> engine{64, 48};
    Platform_Windows window;
    Vec2i size{64, 48};
    ASSERT_EQ(window.CreateAppWindow({30, 30}, size, false), Ok);
    const HWND handle = static_cast<HWND>(window.WindowHandle());
    const HDC dc = GetDC(handle);
    PIXELFORMATDESCRIPTOR wanted{};
    wanted.nSize = sizeof(wanted);
    wanted.nVersion = 1;
    wanted.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    wanted.cColorBits = 32;
    const int chosen = ChoosePixelFormat(dc, &wanted);
    const int count = DescribePixelFormat(dc, 1, sizeof(wanted), nullptr);
    ASSERT_GT(chosen, 0);
    ASSERT_GT(count, 1);
    PIXELFORMATDESCRIPTOR other{};
    const int otherFormat = chosen == 1 ? 2 : 1;
    DescribePixelFormat(dc, otherFormat, sizeof(other), &other);
    ASSERT_TRUE(SetPixelFormat(dc, otherFormat, &other));
    ReleaseDC(handle, dc);

    Renderer_OGL10 gl;
    EXPECT_EQ(gl.CreateDevice({handle}, false, false), Fail);
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    gl.DestroyDevice();
}

// WGL as a driver without GL gives it: no context for any window.
class NoContext : public GLContext {
  public:
    bool Create(void*) override { return false; }
    void SetSwapInterval(int) override {}
    void Swap() override {}
    void Destroy() override {}
};

class FillingApp : public Tesserine {
  public:
    bool OnCreate() override { return true; }
    bool OnUpdate(float) override {
        Clear(Pixel(200, 40, 90, 255));
        return true;
    }
};

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

TEST(WglFallbackTest, WithoutAContextTheSoftwareFramesReachTheWindowThroughGdi) {
    FillingApp app;
    auto platformWindows = std::make_unique<Platform_Windows>();
    Platform_Windows* windows = platformWindows.get();
    app.UseBackends(std::move(platformWindows),
                    std::make_unique<Renderer_OGL10>(std::make_unique<NoContext>()));
    ASSERT_EQ(app.Setup(64, 48, 2, 2), Ok);
    ASSERT_EQ(app.StartManualRun(), Ok);
    EXPECT_FALSE(windows->GivesGpuSurface());
    EXPECT_NE(dynamic_cast<Renderer_Software*>(renderer.get()), nullptr);
    PumpMessages();
    app.RunFrameFor(1.0f / 60.0f);

    const HWND handle = static_cast<HWND>(windows->WindowHandle());
    const HDC dc = GetDC(handle);
    for (const POINT at : {POINT{0, 0}, POINT{64, 48}, POINT{127, 95}}) {
        const COLORREF shown = GetPixel(dc, at.x, at.y);
        EXPECT_EQ(shown, RGB(200, 40, 90)) << "at " << at.x << ", " << at.y;
    }
    ReleaseDC(handle, dc);
    EXPECT_EQ(app.EndManualRun(), Ok);
    // The posted WM_DESTROY ends this thread's loop, as it ends the main thread's in a run.
    EXPECT_EQ(windows->RunEventLoop(), Ok);
}

} // namespace
} // namespace dral
