// The engine's lifecycle: construction with its back-ends, set-up, the two threads, the sequence
// of one frame with the once-a-second frame-rate title, and the window and viewport geometry.
#include "engine/tesserine.h"

#include <charconv>
#include <thread>

namespace dral {

namespace {
constexpr Vec2i WindowPosition{30, 30};
constexpr const char* TitleBanner = "https://tesserine.dev - Tesserine - ";
} // namespace

Tesserine::Tesserine() {
    CreateBackends();
}

// The layer images and the font go with the engine, so that an engine made and destroyed more than
// once in a process leaks nothing. The layer textures are left to the device, which is gone by now
// after a run. A recording still running is ended properly.
Tesserine::~Tesserine() {
    StopRecording();
    for (Layer& layer : layers) delete layer.sprite;
    delete fontDecal;
    delete fontSprite;
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
    screenSize = {screenWidth, screenHeight};
    invScreenSize = {1.0f / static_cast<float>(screenWidth),
                     1.0f / static_cast<float>(screenHeight)};
    pixelSize = {pixelWidth, pixelHeight};
    windowSize.Store(screenSize * pixelSize);
    fullScreen = fullScreenWanted;
    vsync = vsyncWanted;
    if (pixelSize.x <= 0 || pixelSize.y <= 0 || screenSize.x <= 0 || screenSize.y <= 0) return Fail;
    return Ok;
}

ResultCode Tesserine::Run() {
    if (platform->StartApplication() != Ok) return Fail;
    Vec2i size = windowSize.Load();
    if (platform->CreateAppWindow(WindowPosition, size, fullScreen) != Ok) return Fail;
    UpdateWindowSize(size.x, size.y);

    running = true;
    std::thread engineThread(&Tesserine::EngineLoop, this);
    platform->RunEventLoop();
    engineThread.join();

    return platform->CleanUpApplication() == Ok ? Ok : Fail;
}

void Tesserine::EngineLoop() {
    if (platform->StartThread() == Fail) {
        // Nothing else would ever end the event loop on the main thread.
        running = false;
        platform->CleanUpThread();
        return;
    }
    if (PrepareEngine() != Ok) {
        // No device, font or base layer: frames cannot run.
        running = false;
        platform->CleanUpThread();
        return;
    }
    if (!OnCreate()) running = false;
    while (running) {
        while (running) RunFrame();
        if (recorder) RecordStop();
        if (!OnDestroy()) running = true;
    }
    StopRecording();
    platform->CleanUpThread();
}

ResultCode Tesserine::PrepareEngine() {
    if (platform->CreateGraphics(fullScreen, vsync, viewPos.Load(), viewSize.Load()) == Fail)
        return Fail;
    BuildFontSheet();
    CreateLayer();
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
    if (recorder) RecordFrame(elapsed);

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
    std::string title = TitleBanner;
    title += appName;
    title += " - FPS: ";
    title.append(digits, end);
    platform->SetWindowTitle(title);
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
    const Vec2i window = windowSize.Load();
    const float aspect = static_cast<float>(screenSize.x * pixelSize.x) /
                         static_cast<float>(screenSize.y * pixelSize.y);
    Vec2i size{window.x, static_cast<int32_t>(static_cast<float>(window.x) / aspect)};
    if (size.y > window.y) {
        size.y = window.y;
        size.x = static_cast<int32_t>(static_cast<float>(size.y) * aspect);
    }
    viewSize.Store(size);
    viewPos.Store((window - size) / 2);
}

void Tesserine::SetScreenSize(int32_t width, int32_t height) {
    screenSize = {width, height};
    for (Layer& layer : layers) {
        delete layer.sprite;
        layer.sprite = new Sprite(width, height);
        layer.needsUpload = true;
    }
    SetDrawTarget(nullptr);
    renderer->ClearBuffer(Black, true);
    renderer->PresentFrame();
    renderer->ClearBuffer(Black, true);
    renderer->SetViewport(viewPos.Load(), viewSize.Load());
}

void Tesserine::ClearBuffer(Pixel p, bool depth) {
    renderer->ClearBuffer(p, depth);
}

} // namespace dral
