// The default back-end pair of the desktop build: the SDL2 window with the OpenGL renderer.
#include "platform/sdl/platform_sdl.h"
#include "renderer/opengl10/renderer_ogl10.h"

namespace dral {

void CreateDefaultBackends(std::unique_ptr<Platform>& platformOut,
                           std::unique_ptr<Renderer>& rendererOut) {
    platformOut = std::make_unique<Platform_SDL>();
    rendererOut = std::make_unique<Renderer_OGL10>();
}

} // namespace dral
