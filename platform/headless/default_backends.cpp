// The default back-end pair of a build without a window system: the headless pair.
#include "platform/headless/platform_headless.h"
#include "renderer/headless/renderer_headless.h"

namespace dral {

void CreateDefaultBackends(std::unique_ptr<Platform>& platformOut,
                           std::unique_ptr<Renderer>& rendererOut) {
    platformOut = std::make_unique<Platform_Headless>();
    rendererOut = std::make_unique<Renderer_Headless>();
}

} // namespace dral
