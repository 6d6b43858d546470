// The OpenGL context through SDL2: the platform has already asked for a double-buffered 32-bit RGBA
// surface without depth or stencil before it created the window, so SDL chooses the format here.
#include <SDL.h>

#include "renderer/opengl10/gl_context.h"

namespace dral {

namespace {

class GLContext_SDL : public GLContext {
  public:
    bool Create(void* handle) override {
        window = static_cast<SDL_Window*>(handle);
        if (!window) return false;
        context = SDL_GL_CreateContext(window);
        if (!context) return false;
        if (SDL_GL_MakeCurrent(window, context) == 0) return true;
        // A context that cannot be current on this thread is of no use to the renderer.
        Destroy();
        return false;
    }

    // Without the swap-control extension SDL reports an error, and the interval stays as it was.
    void SetSwapInterval(int interval) override { SDL_GL_SetSwapInterval(interval); }

    void Swap() override {
        if (window) SDL_GL_SwapWindow(window);
    }

    void Destroy() override {
        if (!context) return;
        SDL_GL_DeleteContext(context);
        context = nullptr;
    }

  private:
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
};

} // namespace

std::unique_ptr<GLContext> CreateSystemGLContext() {
    return std::make_unique<GLContext_SDL>();
}

} // namespace dral
