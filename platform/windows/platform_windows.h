// Platform_Windows: the Win32 back-end. It opens the engine's single window, turns the window's
// messages into engine input, runs the message loop on the main thread, ends it once the engine
// thread has finished, and blits frames composed on the CPU when WGL gives no context.
// Needs: the engine's contracts here; user32 and gdi32 (and XInput, loaded at run time) in its
// sources.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/backend.h"

namespace dral {

/// The Win32 Platform, the default on Windows: the engine's single window, its messages turned into
/// engine input, the message loop on the main thread. Pair it with Renderer_OGL10 (WGL). When the
/// renderer's device cannot be made on the window (no WGL context) it says so (GivesGpuSurface),
/// and it shows frames composed on the CPU with a GDI blit (ShowFrame): the engine then turns to
/// its fallback renderer, and an application may choose such a renderer itself.
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

    /// False once a renderer's device could not be made on the window (CreateGraphics).
    bool GivesGpuSurface() const override { return gpuSurface; }
    /// True: any window takes a GDI blit.
    bool ShowsCpuFrames() const override { return true; }
    /// Blits the frame 1:1 onto the window's client area from its top-left corner. Engine thread;
    /// after the first frame of a size it allocates nothing.
    void ShowFrame(const Pixel* pixels, int32_t width, int32_t height) override;

    /// The HWND of the window, null until CreateAppWindow and when it could not be made; the
    /// platform owns it.
    void* WindowHandle() const { return windowHandle; }

  private:
    void* windowHandle = nullptr;
    // Engine thread only, like CreateGraphics and ShowFrame.
    bool gpuSurface = true;
    // The frame in the blit's pixel layout, kept from frame to frame.
    std::vector<uint32_t> dibPixels;
    // The main thread, which runs the message loop; CreateAppWindow notes it.
    unsigned long eventThread = 0;
};

} // namespace dral
