// The steps every Platform takes the same way around its own window system: creating the graphics
// device on its window and releasing it when the engine thread ends.
#pragma once

#include "engine/result.h"
#include "engine/vec2.h"

namespace dral {

/// The body of Platform::CreateGraphics: creates the renderer's device on window (a native handle,
/// or null for a platform without one) and sets its first viewport. Engine thread only.
ResultCode CreateGraphicsOn(void* window, bool fullScreen, bool vsync, const Vec2i& viewPos,
                            const Vec2i& viewSize);

/// The first step of Platform::CleanUpThread: destroys the renderer's device, if there is a
/// renderer. Engine thread only, after its last frame.
void ReleaseGraphics();

} // namespace dral
