// The default back-end pair of the Windows build: the Win32 platform with the OpenGL renderer.
#include "platform/windows/platform_windows.h"
#include "renderer/opengl10/renderer_ogl10.h"

namespace dral {

void CreateDefaultBackends(std::unique_ptr<Platform>& platformOut,
                           std::unique_ptr<Renderer>& rendererOut) {
    platformOut = std::make_unique<Platform_Windows>();
    rendererOut = std::make_unique<Renderer_OGL10>();
}

} // namespace dral
