// A Platform without a window: its event loop blocks until the engine thread's CleanUpThread
// ends it, and it keeps the last title. Input arrives through the engine's update operations from
// any other thread, as a window system would deliver it.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>

#include "engine/backend.h"

namespace dral {

/// The Platform without a window, for tests, servers and tools. Pair it with Renderer_Headless
/// through Tesserine::UseBackends before Run.
class Platform_Headless : public Platform {
  public:
    ResultCode StartApplication() override { return Ok; }
    ResultCode CleanUpApplication() override { return Ok; }
    ResultCode StartThread() override { return Ok; }
    ResultCode CleanUpThread() override;
    ResultCode CreateGraphics(bool fullScreen, bool vsync, const Vec2i& viewPos,
                              const Vec2i& viewSize) override;
    /// Full screen reports the size of a virtual display, displaySize.
    ResultCode CreateAppWindow(const Vec2i& position, Vec2i& size, bool fullScreen) override;
    ResultCode SetWindowTitle(const std::string& title) override;
    ResultCode RunEventLoop() override;
    ResultCode HandleSystemEvent() override { return Fail; }

    /// The last title the engine set (a copy). Any thread.
    std::string Title() const;
    /// Ends the event loop from any thread, as CleanUpThread does.
    void Quit();

    /// The size a full-screen window gets, in window pixels. Set it before Run.
    Vec2i displaySize{1920, 1080};

  private:
    mutable std::mutex mutex;
    std::condition_variable quitSignal;
    bool quit = false;
    std::string title;
};

} // namespace dral
