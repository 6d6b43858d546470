// The default back-end pair of the browser build: the page's canvas with the WebGL 2 renderer.
// The browser build has no audio device yet, so its engine runs silent and reads WAV only.
// Needs: the browser platform and the WebGL 2 renderer; there is no fallback renderer.
#include "engine/audio.h"
#include "platform/web/platform_web.h"
#include "renderer/webgl/renderer_webgl.h"

namespace dral {

void CreateDefaultBackends(std::unique_ptr<Platform>& platformOut,
                           std::unique_ptr<Renderer>& rendererOut) {
    platformOut = std::make_unique<Platform_Web>();
    rendererOut = std::make_unique<Renderer_WebGL>();
}

// The page shows only what WebGL draws: no renderer to fall back to.
std::unique_ptr<Renderer> CreateFallbackRenderer() {
    return nullptr;
}

std::unique_ptr<AudioDevice> CreateDefaultAudioDevice() {
    return nullptr;
}

const AudioDecoder* DefaultAudioDecoder() {
    return nullptr;
}

} // namespace dral
