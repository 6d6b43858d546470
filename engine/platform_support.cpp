// The graphics steps shared by every Platform; the renderer is the process-wide one.
#include "engine/platform_support.h"

#include "engine/backend.h"

namespace dral {

ResultCode CreateGraphicsOn(void* window, bool fullScreen, bool vsync, const Vec2i& viewPos,
                            const Vec2i& viewSize) {
    if (renderer->CreateDevice({window}, fullScreen, vsync) != Ok) return Fail;
    renderer->SetViewport(viewPos, viewSize);
    return Ok;
}

void ReleaseGraphics() {
    if (renderer) renderer->DestroyDevice();
}

} // namespace dral
