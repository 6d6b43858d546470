// Renderer_OGL10: the Renderer back-end on fixed-function OpenGL 1.x. Immediate-mode quads with one
// texture, a colour per quad and alpha blending; the context comes from a GLContext seam.
#pragma once

#include <memory>

#include "engine/backend.h"
#include "renderer/opengl10/gl_context.h"

namespace dral {

/// The Renderer on fixed-function OpenGL 1.x: immediate-mode textured quads with a colour per
/// quad and alpha blending. Its context comes from a GLContext, so any window system can host it.
class Renderer_OGL10 : public Renderer {
  public:
    /// Uses the context of the build's window system (CreateSystemGLContext).
    Renderer_OGL10();
    /// Uses `glContext`, taking ownership: for another window system, or for tests.
    explicit Renderer_OGL10(std::unique_ptr<GLContext> glContext);

    void PrepareDevice() override {}
    /// params[0] is the platform's window handle; fullScreen is not needed here.
    ResultCode CreateDevice(std::vector<void*> params, bool fullScreen, bool vsync) override;
    ResultCode DestroyDevice() override;
    void PresentFrame() override;
    void BeginDrawing() override;
    void DrawLayerQuad(const Vec2f& offset, const Vec2f& scale, Pixel tint) override;
    void DrawDecalQuad(const DecalDraw& decal) override;
    uint32_t CreateTexture(uint32_t width, uint32_t height) override;
    void UpdateTexture(uint32_t id, Sprite* sprite) override;
    uint32_t DeleteTexture(uint32_t id) override;
    void BindTexture(uint32_t id) override;
    void SetViewport(const Vec2i& position, const Vec2i& size) override;
    void ClearBuffer(Pixel p, bool depth) override;

  private:
    std::unique_ptr<GLContext> context;
    bool deviceExists = false;
};

} // namespace dral
