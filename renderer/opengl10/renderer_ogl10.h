// Renderer_OGL10: the Renderer back-end on fixed-function OpenGL 1.x. Immediate-mode quads with one
// texture, a colour per quad and alpha blending; the context comes from a GLContext seam.
#pragma once

#include <memory>
#include <vector>

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
    // The texture OpenGL has bound now: a render hook may have bound one behind our back.
    static uint32_t BoundTexture();
    bool IsOpaque(uint32_t texture) const;

    std::unique_ptr<GLContext> context;
    bool deviceExists = false;
    // Per texture name: its last upload had only opaque pixels. A layer quad of such a texture
    // with an opaque tint replaces what lies below it, so it is drawn without blending.
    std::vector<bool> opaqueTextures;
    bool blending = false;
    // A clear not yet issued: a second clear that follows with nothing drawn between makes it
    // redundant, so it is issued only before anything else reaches the buffer.
    struct PendingClear {
        bool pending = false;
        Pixel colour;
        bool depth = false;
    } pendingClear;
    void IssueClear();
};

} // namespace dral
