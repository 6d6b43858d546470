// Renderer_WebGL: the Renderer back-end on WebGL 2 for the browser build. One small shader stands
// in for the fixed-function pipeline of the OpenGL 1.x renderer, so frames look the same.
#pragma once

#include <cstdint>

#include "engine/backend.h"

namespace dral {

class Renderer_WebGL : public Renderer {
  public:
    void PrepareDevice() override {}
    // params[0] is the CSS selector of the canvas (a const char*). The context is made current on
    // the calling thread. On the page's thread the canvas shows each frame when the animation
    // frame ends; from a worker, drawing goes to an offscreen buffer that PresentFrame shows.
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
    // One vertex of a quad: position in device coordinates, then s, t and q.
    struct Vertex {
        float x, y, s, t, q;
    };
    bool BuildPipeline();
    // Draws the four corners as two triangles sharing the first corner, as GL 1.x splits a quad.
    void DrawQuad(const Vertex (&corners)[4], Pixel tint);

    intptr_t context = 0;
    uint32_t program = 0;
    uint32_t vertexBuffer = 0;
    uint32_t vertexArray = 0;
    int32_t tintLocation = -1;
};

} // namespace dral
