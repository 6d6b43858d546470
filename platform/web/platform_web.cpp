// Platform_Web: the canvas as the window, the frames at the browser's animation frames (one
// thread) or the hand-overs from the engine thread and the wait of main's worker (threaded). The
// event handlers live in web_events.cpp.
#include "platform/web/platform_web.h"

#include <emscripten/emscripten.h>
#include <emscripten/threading.h>

#include "engine/tesserine.h"
#include "platform/web/web_events.h"

namespace dral {

namespace {
#ifdef __EMSCRIPTEN_PTHREADS__
constexpr bool Threaded = true;
#else
constexpr bool Threaded = false;
#endif
} // namespace

ResultCode Platform_Web::CleanUpThread() {
    if (renderer) renderer->DestroyDevice();
    {
        std::lock_guard lock(doneMutex);
        threadDone = true;
    }
    doneSignal.notify_all();
    return Ok;
}

ResultCode Platform_Web::CreateGraphics(bool fullScreen, bool vsync, const Vec2i& viewPos,
                                        const Vec2i& viewSize) {
    std::vector<void*> handles{const_cast<char*>(CanvasSelector)};
    if (renderer->CreateDevice(std::move(handles), fullScreen, vsync) != Ok) return Fail;
    renderer->SetViewport(viewPos, viewSize);
    return Ok;
}

ResultCode Platform_Web::CreateAppWindow(const Vec2i&, Vec2i& size, bool fullScreen) {
    // The threaded page must run the program on a worker: its threads block, the browser's may not.
    if ((Threaded && emscripten_is_main_browser_thread()) || !engine) return Fail;
    if (fullScreen) {
        size.x = MAIN_THREAD_EM_ASM_INT({ return window.innerWidth; });
        size.y = MAIN_THREAD_EM_ASM_INT({ return window.innerHeight; });
    }
    if (size.x <= 0 || size.y <= 0) return Fail;
    const bool shown = MAIN_THREAD_EM_ASM_INT(
        {
            const canvas = document.querySelector(UTF8ToString($0));
            if (!canvas) return 0;
            canvas.width = $1;
            canvas.height = $2;
            // Letterbox: the largest size of the canvas's shape that fits the page.
            const fit = function() {
                const s =
                    Math.min(window.innerWidth / canvas.width, window.innerHeight / canvas.height);
                canvas.style.width = Math.floor(canvas.width * s) + 'px';
                canvas.style.height = Math.floor(canvas.height * s) + 'px';
            };
            window.addEventListener('resize', fit);
            fit();
            return 1;
        },
        CanvasSelector, size.x, size.y);
    if (!shown) return Fail;
    return ListenToPage(*engine, size) ? Ok : Fail;
}

ResultCode Platform_Web::SetWindowTitle(const std::string& title) {
    // The text is read before the call returns, so the string may go right after.
    MAIN_THREAD_EM_ASM({ document.title = UTF8ToString($0); }, title.c_str());
    return Ok;
}

ResultCode Platform_Web::RunEventLoop() {
    if (!Threaded) {
        framesRunning = true;
        // Frames at the display's rate; the exception Emscripten throws here leaves main's stack,
        // and so the game object, in place while the browser calls the frames.
        emscripten_set_main_loop_arg(&Platform_Web::OnAnimationFrame, this, 0, true);
        return Ok;
    }
    std::unique_lock lock(doneMutex);
    doneSignal.wait(lock, [this] { return threadDone; });
    return Ok;
}

void Platform_Web::OnAnimationFrame(void* self) {
    static_cast<Platform_Web*>(self)->AnimationFrame();
}

void Platform_Web::AnimationFrame() {
    if (!framesRunning || !engine) return;
    if (running) engine->RunFrame();
    EndIfStopped();
}

void Platform_Web::EndIfStopped() {
    if (running || !framesRunning || engine->EndManualRun() != Ok) return;
    framesRunning = false;
    emscripten_cancel_main_loop();
}

bool Platform_Web::ClosePage() {
    if (!engine) return false;
    engine->RequestStop();
    if (Threaded) return false;
    EndIfStopped();
    return framesRunning;
}

ResultCode Platform_Web::HandleSystemEvent() {
    if (engine) PollGamepads(*engine);
    return Ok;
}

} // namespace dral
