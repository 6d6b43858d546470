// The OpenGL context through WGL: a double-buffered 32-bit RGBA pixel format without depth,
// stencil, accumulation or auxiliary buffers on the window's device context, and swap control
// through the optional wglSwapIntervalEXT extension.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "renderer/opengl10/gl_context.h"

namespace dral {

namespace {

using SwapIntervalFunction = BOOL(WINAPI*)(int interval);

// Looked up once a context is current; null when the driver lacks the extension.
SwapIntervalFunction swapIntervalFn = nullptr;

PIXELFORMATDESCRIPTOR WindowPixelFormat() {
    PIXELFORMATDESCRIPTOR descriptor{};
    descriptor.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    descriptor.iPixelType = PFD_TYPE_RGBA;
    descriptor.cColorBits = 32;
    descriptor.iLayerType = PFD_MAIN_PLANE;
    return descriptor;
}

class GLContext_WGL : public GLContext {
  public:
    bool Create(void* window) override {
        const HWND handle = static_cast<HWND>(window);
        deviceContext = GetDC(handle);
        if (deviceContext && MakeCurrentContext()) {
            // The lookup needs a current context.
            // Through void(*)(), the type that any function pointer may be cast to and back.
            const auto anyFunction =
                reinterpret_cast<void (*)()>(wglGetProcAddress("wglSwapIntervalEXT"));
            swapIntervalFn = reinterpret_cast<SwapIntervalFunction>(anyFunction);
            return true;
        }
        // A window that refused the format, or a context that cannot be made current, would
        // leave every later GL call without a target: release what was made and fail.
        if (deviceContext) ReleaseDC(handle, deviceContext);
        deviceContext = nullptr;
        return false;
    }

    void SetSwapInterval(int interval) override {
        if (swapIntervalFn) swapIntervalFn(interval);
    }

    void Swap() override { SwapBuffers(deviceContext); }

    void Destroy() override {
        if (!glContext) return;
        wglDeleteContext(glContext);
        glContext = nullptr;
    }

  private:
    // Gives the window's surface the pixel format and makes a context for it current on this
    // thread; on failure no context is left behind.
    bool MakeCurrentContext() {
        const PIXELFORMATDESCRIPTOR descriptor = WindowPixelFormat();
        const int format = ChoosePixelFormat(deviceContext, &descriptor);
        if (format == 0 || !SetPixelFormat(deviceContext, format, &descriptor)) return false;
        glContext = wglCreateContext(deviceContext);
        if (!glContext) return false;
        if (wglMakeCurrent(deviceContext, glContext)) return true;
        wglDeleteContext(glContext);
        glContext = nullptr;
        return false;
    }

    HDC deviceContext = nullptr;
    HGLRC glContext = nullptr;
};

} // namespace

std::unique_ptr<GLContext> CreateSystemGLContext() {
    return std::make_unique<GLContext_WGL>();
}

} // namespace dral
