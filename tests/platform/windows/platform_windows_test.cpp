// Platform_Windows on real Win32 windows: the client-size rule, full screen, the device hand-over,
// key releases the window would miss, and the shutdown sequence that ends the message loop, also
// when no window could be made.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/windows/platform_windows.h"
#include "support/headless_engine.h"
#include "tests/engine/recording_backends.h"

namespace dral {
namespace {

// Makes every window creation on this thread fail while it lives, as a refused creation would.
class RefuseWindows {
  public:
    RefuseWindows() : hook(SetWindowsHookExA(WH_CBT, Refuse, nullptr, GetCurrentThreadId())) {}
    ~RefuseWindows() { UnhookWindowsHookEx(hook); }
    bool Active() const { return hook != nullptr; }

  private:
    static LRESULT CALLBACK Refuse(int code, WPARAM wParam, LPARAM lParam) {
        return code == HCBT_CREATEWND ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook;
};

// Ends this thread's message loop if nothing else has after a long while, so that a loop the
// platform fails to end makes the test fail instead of stalling the whole run.
class LoopGuard {
  public:
    LoopGuard() : loopThread(GetCurrentThreadId()), watcher([this] { Watch(); }) {}
    ~LoopGuard() {
        {
            std::lock_guard<std::mutex> hold(lock);
            done = true;
        }
        wake.notify_one();
        watcher.join();
    }
    bool Fired() const { return fired; }

  private:
    void Watch() {
        std::unique_lock<std::mutex> hold(lock);
        if (wake.wait_for(hold, std::chrono::seconds(30), [this] { return done; })) return;
        fired = true;
        PostThreadMessageA(loopThread, WM_QUIT, 0, 0);
    }

    DWORD loopThread;
    std::mutex lock;
    std::condition_variable wake;
    bool done = false;
    std::atomic<bool> fired{false};
    std::thread watcher;
};

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

// A window that cannot be made is a failed start: Run gives up at once instead of starting an
// engine whose shutdown could never reach the event loop.
TEST_F(PlatformWindowsTest, RunFailsWhenTheWindowCannotBeMade) {
    RefuseWindows refuse;
    ASSERT_TRUE(refuse.Active());
    Vec2i size{64, 48};
    EXPECT_EQ(windows->CreateAppWindow({30, 30}, size, false), Fail);
    EXPECT_EQ(windows->WindowHandle(), nullptr);

    LoopGuard guard;
    EXPECT_EQ(engine.Run(), Fail);
    EXPECT_FALSE(guard.Fired());
    EXPECT_TRUE(log.Calls().empty());
}

// The engine thread's clean-up still ends the loop when there is no window to post to.
TEST_F(PlatformWindowsTest, CleanUpWithoutAWindowStillEndsTheLoop) {
    {
        RefuseWindows refuse;
        Vec2i size{64, 48};
        windows->CreateAppWindow({30, 30}, size, false);
    }
    LoopGuard guard;
    std::thread([this] { windows->CleanUpThread(); }).join();
    EXPECT_EQ(windows->RunEventLoop(), Ok);
    EXPECT_FALSE(guard.Fired());
}

// The window procedure keeps track of the keys it saw go down, so a focus loss releases them.
TEST_F(PlatformWindowsTest, KeysHeldWhenTheFocusGoesAreReleased) {
    Vec2i size{64, 48};
    ASSERT_EQ(windows->CreateAppWindow({30, 30}, size, false), Ok);
    engine.Prepare();
    SendMessageA(Window(), WM_KEYDOWN, 'D', 0);
    SendMessageA(Window(), WM_KEYDOWN, 'S', 0);
    engine.RunFrameFor(0.01f);
    ASSERT_TRUE(engine.KeyState(Key::D).held);
    SendMessageA(Window(), WM_SYSKEYUP, 'S', 0);
    SendMessageA(Window(), WM_KILLFOCUS, 0, 0);
    engine.RunFrameFor(0.01f);
    EXPECT_TRUE(engine.KeyState(Key::D).released);
    EXPECT_TRUE(engine.KeyState(Key::S).released);
    EXPECT_FALSE(engine.IsFocused());
}

} // namespace
} // namespace dral
