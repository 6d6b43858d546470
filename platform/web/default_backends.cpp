// The default back-ends of the browser build: the page's canvas with the WebGL 2 renderer, Web
// Audio for sound, and the browser's decoding of the sounds the page names.
// Needs: the browser platform, the WebGL 2 renderer and Web Audio; there is no fallback renderer.
#include "audio/web/audio_web.h"
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
    return std::make_unique<AudioDevice_Web>();
}

const AudioDecoder* DefaultAudioDecoder() {
    return &BrowserAudioDecoder();
}

} // namespace dral
