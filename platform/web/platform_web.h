// The browser platform: the page's canvas is the window, letterboxed by CSS and full screen on a
// double-click; DOM events become the engine's input on the browser thread; the title is the
// page's title. The page of one thread runs the frames from the browser's animation frames (Run
// hands its hand-driven run to RunEventLoop); the threaded page runs main on a worker
// (PROXY_TO_PTHREAD), which waits in RunEventLoop while the browser thread delivers the events.
// Needs: Emscripten's HTML5 API.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string_view>

#include "engine/backend.h"
#include "engine/input.h"

namespace dral {

// The CSS selector of the canvas the page provides.
inline constexpr const char* CanvasSelector = "#canvas";

// A DOM KeyboardEvent.code ("KeyW", "ArrowUp", "Numpad5", ...) to the engine's key value; codes
// without a translation give Key::None. Positions, not labels, so W, A, S and D stay in place on
// any keyboard layout.
Key MapDomKey(std::string_view code);

class Platform_Web : public Platform {
  public:
    ResultCode StartApplication() override { return Ok; }
    ResultCode CleanUpApplication() override { return Ok; }
    ResultCode StartThread() override { return Ok; }
    ResultCode CleanUpThread() override;
    ResultCode CreateGraphics(bool fullScreen, bool vsync, const Vec2i& viewPos,
                              const Vec2i& viewSize) override;
    // Full screen takes the page's size for the drawing buffer; otherwise the buffer keeps the
    // asked size. Either way CSS scales the canvas into the page keeping its shape.
    ResultCode CreateAppWindow(const Vec2i& position, Vec2i& size, bool fullScreen) override;
    ResultCode SetWindowTitle(const std::string& title) override;
    // One thread: asks the browser for a frame at each animation frame until the run has ended,
    // and does not return (main's objects stay). Threaded: waits until CleanUpThread.
    ResultCode RunEventLoop() override;
    // Reads the pads through the Gamepad API, which has no events for their buttons and axes.
    ResultCode HandleSystemEvent() override;
    // The page is closing: asks the run to stop and, on one thread, ends it at once, as no frame
    // will come. True when OnDestroy refused the stop, so the page may ask the user to stay.
    bool ClosePage();

  private:
    // One frame of the hand-driven run, then its end once `running` is cleared.
    void AnimationFrame();
    // Ends the hand-driven run when `running` is clear; OnDestroy may refuse and the frames go on.
    void EndIfStopped();
    static void OnAnimationFrame(void* self);

    // Between Run's hand-over and the end of the run (one thread only).
    bool framesRunning = false;
    // Set once the engine thread has finished; RunEventLoop waits for it.
    std::mutex doneMutex;
    std::condition_variable doneSignal;
    bool threadDone = false;
};

} // namespace dral
