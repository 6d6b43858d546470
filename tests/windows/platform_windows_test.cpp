// Platform_Windows on real Win32 windows: the client-size rule, full screen, the device hand-over
// and the shutdown sequence that ends the message loop.
#include <gtest/gtest.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/windows/platform_windows.h"
#include "support/headless_engine.h"
#include "tests/engine/recording_backends.h"

namespace dral {
namespace {

class PlatformWindowsTest : public ::testing::Test {
  protected:
    PlatformWindowsTest() {
        auto p = std::make_unique<Platform_Windows>();
        auto r = std::make_unique<testing::RecordingRenderer>(log);
        windows = p.get();
        recorder = r.get();
        engine.UseBackends(std::move(p), std::move(r));
    }
    HWND Window() const { return static_cast<HWND>(windows->WindowHandle()); }

    testing::HeadlessEngine<> engine{64, 48};
    testing::CallLog log;
    Platform_Windows* windows = nullptr;
    testing::RecordingRenderer* recorder = nullptr;
};

TEST_F(PlatformWindowsTest, WindowedClientAreaIsTheRequestedSize) {
    Vec2i size{320, 200};
    ASSERT_EQ(windows->CreateAppWindow({30, 30}, size, false), Ok);
    RECT client{}, outer{};
    GetClientRect(Window(), &client);
    GetWindowRect(Window(), &outer);
    EXPECT_EQ(client.right - client.left, 320);
    EXPECT_EQ(client.bottom - client.top, 200);
    EXPECT_GT(outer.right - outer.left, 320);
    EXPECT_GT(outer.bottom - outer.top, 200);
    EXPECT_EQ(size, Vec2i(320, 200));

    char name[32] = {};
    GetClassNameA(Window(), name, sizeof(name));
    EXPECT_STREQ(name, "DRAL_TESSERINE");
    windows->SetWindowTitle("Tesserine - FPS: 60");
    GetWindowTextA(Window(), name, sizeof(name));
    EXPECT_STREQ(name, "Tesserine - FPS: 60");
}

TEST_F(PlatformWindowsTest, FullScreenCoversTheDisplayAndReportsItsSize) {
    Vec2i size{320, 200};
    ASSERT_EQ(windows->CreateAppWindow({30, 30}, size, true), Ok);
    const Vec2i display{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    EXPECT_EQ(size, display);
    RECT outer{};
    GetWindowRect(Window(), &outer);
    EXPECT_EQ(outer.left, 0);
    EXPECT_EQ(outer.top, 0);
    EXPECT_EQ(outer.right, display.x);
    EXPECT_EQ(outer.bottom, display.y);
}

TEST_F(PlatformWindowsTest, GraphicsGetTheWindowAndTheViewportOnlyOnSuccess) {
    Vec2i size{64, 48};
    windows->CreateAppWindow({30, 30}, size, false);
    recorder->failCreateDevice = true;
    EXPECT_EQ(windows->CreateGraphics(false, false, {1, 2}, {60, 40}), Fail);
    EXPECT_EQ(log.Calls(), std::vector<std::string>{"CreateDevice"});
    recorder->failCreateDevice = false;
    log.Clear();
    EXPECT_EQ(windows->CreateGraphics(false, false, {1, 2}, {60, 40}), Ok);
    EXPECT_EQ(log.Calls(), (std::vector<std::string>{"CreateDevice", "SetViewport 1,2 60x40"}));
}

TEST_F(PlatformWindowsTest, CloseOnlyAsksToStopCleanUpEndsTheLoop) {
    Vec2i size{64, 48};
    windows->CreateAppWindow({30, 30}, size, false);
    running = true;
    SendMessageA(Window(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(running);
    EXPECT_TRUE(IsWindow(Window()));

    // The engine thread's last act: destroy the device and post WM_DESTROY, whose answer is the
    // quit message that lets the loop return.
    EXPECT_EQ(windows->CleanUpThread(), Ok);
    EXPECT_EQ(log.Calls(), std::vector<std::string>{"DestroyDevice"});
    EXPECT_EQ(windows->RunEventLoop(), Ok);
}

} // namespace
} // namespace dral
