// The engine's lifecycle: construction with its back-ends, set-up, the two threads, the sequence
// of one frame with the once-a-second frame-rate title, and the window and viewport geometry.
// Needs: the process-wide back-ends (engine/backend.h) and std::thread; no window system itself.
#include "engine/tesserine.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <thread>

namespace dral {

namespace {
constexpr Vec2i WindowPosition{30, 30};
constexpr const char* TitleBanner = "https://tesserine.dev - Tesserine - ";
// A build without threads (the browser page of one thread) has no engine thread: Run starts a
// hand-driven run and the platform's event loop drives its frames from the system's own loop.
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
constexpr bool HasThreads = false;
#else
constexpr bool HasThreads = true;
#endif

// A viewport extent computed in float, truncated as a conversion would, but defined for every
// value: NaN and negatives give 0, and values past int32 give the largest int32.
int32_t ToExtent(float v) {
    constexpr float limit = 2147483648.0f; // 2^31, the first float past int32
    if (!(v > 0.0f)) return 0;
    return v >= limit ? std::numeric_limits<int32_t>::max() : static_cast<int32_t>(v);
}
} // namespace

Tesserine::Tesserine() : engineDraw(ResolvedDraw()), titleBanner(TitleBanner) {
    // The frame's typed text is filled every frame: its room is made once, here.
    typedText.reserve(TypedTextQueue::MaxBytes);
    CreateBackends();
}

// The layer images go with the engine, as the font does (its members), so that an engine made and
// destroyed more than once in a process leaks nothing. The layer textures are left to the device,
// which is gone by now after a run.
Tesserine::~Tesserine() {
    for (Layer& layer : layers) delete layer.sprite;
}

bool Tesserine::OnUpdate(float) {
    return false;
}

void Tesserine::CreateBackends() {
    CreateDefaultBackends(platform, renderer);
    Platform::engine = this;
}

void Tesserine::UseBackends(std::unique_ptr<Platform> newPlatform,
                            std::unique_ptr<Renderer> newRenderer) {
    platform = std::move(newPlatform);
    renderer = std::move(newRenderer);
    Platform::engine = this;
}

ResultCode Tesserine::Setup(int32_t screenWidth, int32_t screenHeight, int32_t pixelWidth,
                            int32_t pixelHeight, bool fullScreenWanted, bool vsyncWanted) {
    screenSize.Store({screenWidth, screenHeight});
    invScreenSize = {1.0f / static_cast<float>(screenWidth),
                     1.0f / static_cast<float>(screenHeight)};
    pixelSize = {pixelWidth, pixelHeight};
    fullScreen = fullScreenWanted;
    vsync = vsyncWanted;
    // A window of more than int32 pixels along an axis cannot be asked for: its size is left
    // as it was rather than wrapped.
    if (!FitsWindow(screenWidth, screenHeight)) return Fail;
    windowSize.Store({screenWidth * pixelWidth, screenHeight * pixelHeight});
    return Ok;
}

bool Tesserine::FitsWindow(int32_t width, int32_t height) const {
    constexpr int64_t limit = std::numeric_limits<int32_t>::max();
    if (width <= 0 || height <= 0 || pixelSize.x <= 0 || pixelSize.y <= 0) return false;
    return int64_t(width) * pixelSize.x <= limit && int64_t(height) * pixelSize.y <= limit;
}

ResultCode Tesserine::Run() {
    if (!HasThreads) {
        // As with the engine thread, only a window that cannot be made fails the run; a device
        // that cannot be made or OnCreate's refusal end it at once.
        const bool opened = ran;
        if (StartManualRun() != Ok) return ran && !opened ? Ok : Fail;
        return platform->RunEventLoop();
    }
    if (OpenWindow() != Ok) return Fail;
    running = true;
    std::thread engineThread(&Tesserine::EngineLoop, this);
    platform->RunEventLoop();
    engineThread.join();

    return platform->CleanUpApplication() == Ok ? Ok : Fail;
}

ResultCode Tesserine::OpenWindow() {
    // The first run's device, font and layers are gone with its window; an engine runs once.
    if (ran) return Fail;
    if (platform->StartApplication() != Ok) return Fail;
    Vec2i size = windowSize.Load();
    if (platform->CreateAppWindow(WindowPosition, size, fullScreen) != Ok) return Fail;
    UpdateWindowSize(size.x, size.y);
    ran = true;
    return Ok;
}

void Tesserine::EngineLoop() {
    if (StartEngine() != Ok) return;
    while (running) {
        while (running) RunFrame();
        StopFrames();
    }
    EndEngine();
}

ResultCode Tesserine::StartEngine() {
    // Without the thread's set-up, or without a device, font and base layer, frames cannot run;
    // the clean-up still comes, as nothing else would end the event loop on the main thread.
    if (platform->StartThread() == Fail || PrepareEngine() != Ok) {
        running = false;
        platform->CleanUpThread();
        return Fail;
    }
    if (!OnCreate()) running = false;
    return Ok;
}

bool Tesserine::StopFrames() {
    if (frameObserver) frameObserver->FramesStopping();
    if (OnDestroy()) return true;
    running = true;
    return false;
}

void Tesserine::EndEngine() {
    if (frameObserver) frameObserver->RunEnding();
    platform->CleanUpThread();
}

ResultCode Tesserine::StartManualRun() {
    if (OpenWindow() != Ok) return Fail;
    running = true;
    const bool started = StartEngine() == Ok;
    if (started && running) {
        handDriven = true;
        return Ok;
    }
    // OnCreate refused: the run ends as Run would end it, without OnDestroy.
    if (started) EndEngine();
    platform->CleanUpApplication();
    return Fail;
}

ResultCode Tesserine::EndManualRun() {
    if (!handDriven) return Fail;
    running = false;
    if (!StopFrames()) return Fail;
    return FinishManualRun();
}

ResultCode Tesserine::AbortManualRun() {
    if (!handDriven) return Fail;
    running = false;
    return FinishManualRun();
}

ResultCode Tesserine::FinishManualRun() {
    handDriven = false;
    EndEngine();
    return platform->CleanUpApplication() == Ok ? Ok : Fail;
}

ResultCode Tesserine::PrepareEngine() {
    if (CreateGraphics() == Fail) return Fail;
    BuildFontSheet();
    CreateLayer();
    // A screen too large for memory leaves nothing to draw into: the run stops cleanly.
    if (!layers[0].sprite->pixels) return Fail;
    layers[0].shown = true;
    layers[0].needsUpload = true;
    SetDrawTarget(nullptr);
    lastFrameTime = Clock::now();
    thisFrameTime = lastFrameTime;
    return Ok;
}

void Tesserine::RunFrame() {
    thisFrameTime = Clock::now();
    const float elapsed = std::chrono::duration<float>(thisFrameTime - lastFrameTime).count();
    lastFrameTime = thisFrameTime;
    RunFrameFor(elapsed);
}

void Tesserine::RunFrameFor(float elapsed) {
    platform->HandleSystemEvent();
    LatchInput();
    mousePos = mousePosCache.Load();
    mouseWheelDelta = mouseWheelDeltaCache.exchange(0, std::memory_order_relaxed);
    if (frameObserver) frameObserver->FrameLatched(elapsed);

    renderer->ClearBuffer(Black, true);
    if (!OnUpdate(elapsed)) running = false;
    ComposeLayers();

    frameTimer += elapsed;
    frameCount++;
    if (frameTimer >= 1.0f) UpdateTitle();
}

void Tesserine::UpdateTitle() {
    lastFps = static_cast<uint32_t>(frameCount);
    frameTimer -= 1.0f;
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, frameCount).ptr;
    // Built in storage kept across frames: after the first title, a title frame touches no heap.
    titleText.assign(titleBanner).append(appName).append(" - FPS: ").append(digits, end);
    platform->SetWindowTitle(titleText);
    frameCount = 0;
}

void Tesserine::RequestStop() {
    running = false;
}

void Tesserine::UpdateWindowSize(int32_t width, int32_t height) {
    windowSize.Store({width, height});
    UpdateViewport();
}

void Tesserine::UpdateViewport() {
    // A negative window, which no platform reports, has no room, like a minimised one.
    const Vec2i reported = windowSize.Load();
    const Vec2i window{std::max(reported.x, 0), std::max(reported.y, 0)};
    const Vec2i screen = screenSize.Load();
    // Wide products: Setup and SetScreenSize keep them within int32, where they are exact.
    const float aspect = static_cast<float>(int64_t(screen.x) * pixelSize.x) /
                         static_cast<float>(int64_t(screen.y) * pixelSize.y);
    Vec2i size{window.x, ToExtent(static_cast<float>(window.x) / aspect)};
    if (size.y > window.y) {
        size.y = window.y;
        // Rounding near int32's end could make the width exceed the window's.
        size.x = std::min(ToExtent(static_cast<float>(size.y) * aspect), window.x);
    }
    viewSize.Store(size);
    viewPos.Store((window - size) / 2);
}

bool Tesserine::SetScreenSize(int32_t width, int32_t height) {
    // A size Setup would refuse, or layer images that cannot be had, keep the current screen.
    if (!FitsWindow(width, height)) return false;
    std::vector<std::unique_ptr<Sprite>> fresh;
    for (size_t i = 0; i < layers.size(); ++i) {
        fresh.push_back(std::make_unique<Sprite>(width, height));
        if (!fresh.back()->pixels) return false;
    }
    screenSize.Store({width, height});
    for (size_t i = 0; i < layers.size(); ++i) {
        delete layers[i].sprite;
        layers[i].sprite = fresh[i].release();
        layers[i].needsUpload = true;
    }
    SetDrawTarget(nullptr);
    renderer->ClearBuffer(Black, true);
    renderer->PresentFrame();
    renderer->ClearBuffer(Black, true);
    renderer->SetViewport(viewPos.Load(), viewSize.Load());
    return true;
}

void Tesserine::ClearBuffer(Pixel p, bool depth) {
    renderer->ClearBuffer(p, depth);
}

} // namespace dral
