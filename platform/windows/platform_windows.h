// Platform_Windows: the Win32 back-end. It opens the engine's single window, turns the window's
// messages into engine input, runs the message loop on the main thread and ends it once the
// engine thread has finished.
#pragma once

#include "engine/backend.h"

namespace dral {

/// The Win32 Platform, the default on Windows: the engine's single window, its messages turned into
/// engine input, the message loop on the main thread. Pair it with Renderer_OGL10 (WGL).
class Platform_Windows : public Platform {
  public:
    ResultCode StartApplication() override;
    ResultCode CleanUpApplication() override;
    ResultCode StartThread() override;
    ResultCode CleanUpThread() override;
    ResultCode CreateGraphics(bool fullScreen, bool vsync, const Vec2i& viewPos,
                              const Vec2i& viewSize) override;
    ResultCode CreateAppWindow(const Vec2i& position, Vec2i& size, bool fullScreen) override;
    ResultCode SetWindowTitle(const std::string& title) override;
    ResultCode RunEventLoop() override;
    ResultCode HandleSystemEvent() override;

    /// The HWND of the window, null until CreateAppWindow; the platform owns it.
    void* WindowHandle() const { return windowHandle; }

  private:
    void* windowHandle = nullptr;
};

} // namespace dral
