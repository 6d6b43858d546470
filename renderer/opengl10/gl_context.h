// The window-system side of the OpenGL renderer: a context on a window's double-buffered RGBA
// surface, current on the engine thread, with swap control. Each window system fills it in (SDL2
// on Linux); the GL drawing code of Renderer_OGL10 is shared by all of them.
#pragma once

#include <memory>

namespace dral {

/// An OpenGL context on a window's double-buffered RGBA surface, as Renderer_OGL10 needs it. The
/// renderer calls every operation on the engine thread.
class GLContext {
  public:
    /// Releases the object; call Destroy first to delete the context.
    virtual ~GLContext() = default;
    /// Makes a context for the window whose handle the platform passed and makes it current on the
    /// calling thread. False when the window has no suitable surface or no context can be made.
    virtual bool Create(void* window) = 0;
    /// Sets how many vertical retraces a buffer swap waits for, where the driver allows it.
    virtual void SetSwapInterval(int interval) = 0;
    /// Shows the back buffer (a buffer swap).
    virtual void Swap() = 0;
    /// Deletes the context; harmless when there is none.
    virtual void Destroy() = 0;
};

/// The context of the build's window system, owned by the caller.
std::unique_ptr<GLContext> CreateSystemGLContext();

} // namespace dral
