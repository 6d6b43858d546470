// Platform_SDL: the window, the main thread's event loop and the hand-overs from the engine thread.
// SDL's video calls stay on the main thread; the engine thread only pushes events.
// Needs: SDL2 (video, events, game controllers) and the engine; no renderer of its own.
#include "platform/sdl/platform_sdl.h"

#include <cstring>

#include "engine/platform_support.h"
#include "engine/tesserine.h"

namespace dral {

namespace {

constexpr uint32_t NoEvent = static_cast<uint32_t>(-1);
// GLX on the engine thread shares SDL's X connection and can swallow the wake-up of a pushed
// event, so the loop never waits without a limit.
constexpr int EventWaitMs = 20;

void PushWakeUp(uint32_t type) {
    if (type == NoEvent) return;
    SDL_Event event{};
    event.type = type;
    SDL_PushEvent(&event);
}

// Drivers that would run without anything on screen; SDL falls back to them when X is missing.
bool IsInvisibleDriver(const char* driver) {
    return driver == nullptr || std::strcmp(driver, "offscreen") == 0 ||
           std::strcmp(driver, "dummy") == 0;
}

// A double-buffered 32-bit RGBA surface; the 2-D engine needs neither depth nor stencil.
void RequestSurfaceFormat() {
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
}

} // namespace

ResultCode Platform_SDL::StartApplication() {
    // Signals keep their usual meaning (Ctrl-C ends the program), and closing the window is a
    // request the engine may refuse, so SDL must not turn either into a quit of its own.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // Software frames reach the window as a plain image (shared memory on X). SDL would otherwise
    // draw its window surface through a GL texture, which on a software GL costs the frame twice.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return Fail;
    // Without controller support the game still runs, with no pads.
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
    const uint32_t first = SDL_RegisterEvents(3);
    if (first == NoEvent) {
        SDL_Quit();
        return Fail;
    }
    titleEvent = first;
    quitEvent = first + 1;
    frameEvent = first + 2;
    threadDone = false;
    return Ok;
}

// The window and SDL stay until the process ends. Tearing them down here would race with SDL's own
// wake-up message, which the engine thread's last event sends over a second X connection: if the
// window were gone first, that connection's X error would end the program with status 1.
ResultCode Platform_SDL::CleanUpApplication() {
    return Ok;
}

ResultCode Platform_SDL::CleanUpThread() {
    ReleaseGraphics();
    threadDone = true;
    PushWakeUp(quitEvent);
    // SDL keeps per-thread state (the error text) that would outlive this thread otherwise.
    SDL_TLSCleanup();
    return Ok;
}

ResultCode Platform_SDL::CreateGraphics(bool fullScreen, bool vsync, const Vec2i& viewPos,
                                        const Vec2i& viewSize) {
    // Whatever the renderer: a GPU one fails on a window without GL, a CPU one does not need it.
    const ResultCode made = CreateGraphicsOn(window, fullScreen, vsync, viewPos, viewSize);
    if (made != Ok) gpuSurface = false;
    return made;
}

void Platform_SDL::ShowFrame(const Pixel* pixels, int32_t width, int32_t height) {
    {
        std::lock_guard lock(frameMutex);
        pendingFrame.assign(pixels, pixels + size_t(width) * size_t(height));
        pendingFrameSize = {width, height};
        framePending = true;
    }
    PushWakeUp(frameEvent);
}

void Platform_SDL::ShowPendingFrame() {
    std::lock_guard lock(frameMutex);
    if (!framePending || !window) return;
    framePending = false;
    SDL_Surface* target = SDL_GetWindowSurface(window);
    SDL_Surface* frame = SDL_CreateRGBSurfaceWithFormatFrom(
        pendingFrame.data(), pendingFrameSize.x, pendingFrameSize.y, 32, pendingFrameSize.x * 4,
        SDL_PIXELFORMAT_RGBA32);
    if (target && frame) {
        // The frame's alpha is what blending left there; a window shows colour only.
        SDL_SetSurfaceBlendMode(frame, SDL_BLENDMODE_NONE);
        SDL_BlitSurface(frame, nullptr, target, nullptr);
        SDL_UpdateWindowSurface(window);
    }
    SDL_FreeSurface(frame);
}

ResultCode Platform_SDL::CreateAppWindow(const Vec2i& position, Vec2i& size, bool fullScreen) {
    // Better no program than one that runs without a window anybody can see.
    if (IsInvisibleDriver(SDL_GetCurrentVideoDriver())) return Fail;
    RequestSurfaceFormat();

    Vec2i corner = position;
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN;
    if (fullScreen) {
        // A borderless window over the whole display: SDL's own desktop full screen only pretends
        // when no window manager is running.
        SDL_Rect display;
        if (SDL_GetDisplayBounds(0, &display) != 0) return Fail;
        corner = {display.x, display.y};
        size = {display.w, display.h};
        flags |= SDL_WINDOW_BORDERLESS;
    } else {
        flags |= SDL_WINDOW_RESIZABLE;
    }
    // SDL sizes the drawing area, so the frame comes on top of the requested size.
    window = SDL_CreateWindow("", corner.x, corner.y, size.x, size.y, flags);
    if (!window) {
        // Without GL on the display (no GLX) a plain window still shows software frames.
        window =
            SDL_CreateWindow("", corner.x, corner.y, size.x, size.y, flags & ~SDL_WINDOW_OPENGL);
        gpuSurface = false;
    }
    return window ? Ok : Fail;
}

ResultCode Platform_SDL::SetWindowTitle(const std::string& title) {
    {
        std::lock_guard lock(titleMutex);
        pendingTitle = title;
    }
    PushWakeUp(titleEvent);
    return Ok;
}

void Platform_SDL::ShowPendingTitle() {
    std::string title;
    {
        std::lock_guard lock(titleMutex);
        title = pendingTitle;
    }
    if (window) SDL_SetWindowTitle(window, title.c_str());
}

ResultCode Platform_SDL::RunEventLoop() {
    SDL_Event event;
    while (!threadDone) {
        if (!SDL_WaitEventTimeout(&event, EventWaitMs)) continue;
        if (event.type == titleEvent)
            ShowPendingTitle();
        else if (event.type == frameEvent)
            ShowPendingFrame();
        else if (event.type != quitEvent && engine && !pads.Dispatch(event, *engine))
            DispatchWindowEvent(event, *engine);
    }
    return Ok;
}

} // namespace dral
