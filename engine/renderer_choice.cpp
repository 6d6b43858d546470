// The engine's choice of renderer: the device is made through the platform with dral::renderer,
// and when the window gives that renderer no GPU surface, with the build's fallback renderer,
// whose frames the platform then shows.
// Needs: the two back-end contracts and CreateFallbackRenderer, defined by the back-end set.
#include "engine/tesserine.h"

namespace dral {

namespace {

// Hands a CPU renderer's frames to the platform that shows them.
bool ShowOnPlatform(Renderer& cpuRenderer, Platform& shower) {
    if (!shower.ShowsCpuFrames()) return false;
    return cpuRenderer.SetPresenter([&shower](const Pixel* pixels, int32_t width, int32_t height) {
        shower.ShowFrame(pixels, width, height);
    });
}

} // namespace

ResultCode Tesserine::CreateGraphics() {
    // A renderer that composes on the CPU needs the platform to show its frames, whether the
    // application chose it or it is the fallback.
    const bool composesOnCpu = ShowOnPlatform(*renderer, *platform);
    const ResultCode made =
        platform->CreateGraphics(fullScreen, vsync, viewPos.Load(), viewSize.Load());
    if (made != Fail || composesOnCpu || platform->GivesGpuSurface()) return made;
    std::unique_ptr<Renderer> fallback = CreateFallbackRenderer();
    if (!fallback || !ShowOnPlatform(*fallback, *platform)) return made;
    // The failed renderer made no device, no texture and no frame: nothing is lost with it.
    renderer = std::move(fallback);
    return platform->CreateGraphics(fullScreen, vsync, viewPos.Load(), viewSize.Load());
}

} // namespace dral
