// The window-less platform: a quit flag under a mutex stands in for the message queue.
#include "platform/headless/platform_headless.h"

#include "engine/platform_support.h"
#include "engine/tesserine.h"

namespace dral {

ResultCode Platform_Headless::CleanUpThread() {
    ReleaseGraphics();
    Quit();
    return Ok;
}

ResultCode Platform_Headless::CreateGraphics(bool fullScreen, bool vsync, const Vec2i& viewPos,
                                             const Vec2i& viewSize) {
    return CreateGraphicsOn(nullptr, fullScreen, vsync, viewPos, viewSize);
}

ResultCode Platform_Headless::CreateAppWindow(const Vec2i&, Vec2i& size, bool fullScreen) {
    if (fullScreen) size = displaySize;
    std::lock_guard lock(mutex);
    quit = false;
    return Ok;
}

ResultCode Platform_Headless::SetWindowTitle(const std::string& text) {
    std::lock_guard lock(mutex);
    title = text;
    return Ok;
}

std::string Platform_Headless::Title() const {
    std::lock_guard lock(mutex);
    return title;
}

ResultCode Platform_Headless::RunEventLoop() {
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
    // Without threads Run hands its hand-driven run over: the frames run here until it ends, as
    // the engine thread would run them.
    if (engine) {
        do {
            while (running) engine->RunFrame();
        } while (engine->EndManualRun() != Ok);
    }
#else
    std::unique_lock lock(mutex);
    quitSignal.wait(lock, [this] { return quit; });
#endif
    return Ok;
}

void Platform_Headless::Quit() {
    {
        std::lock_guard lock(mutex);
        quit = true;
    }
    quitSignal.notify_all();
}

} // namespace dral
