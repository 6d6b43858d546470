// A Renderer that draws nothing but keeps the contract: fresh texture ids, the bound texture, the
// size of each texture's last upload, and counts of the calls, so tests can check composition.
#pragma once

#include <cstdint>
#include <unordered_map>

#include "engine/backend.h"

namespace dral {

class Renderer_Headless : public Renderer {
  public:
    void PrepareDevice() override {}
    ResultCode CreateDevice(std::vector<void*> params, bool fullScreen, bool vsync) override;
    ResultCode DestroyDevice() override;
    void PresentFrame() override { ++framesPresented; }
    void BeginDrawing() override {}
    void DrawLayerQuad(const Vec2f&, const Vec2f&, Pixel) override { ++quadsDrawn; }
    void DrawDecalQuad(const DecalDraw&) override { ++quadsDrawn; }
    uint32_t CreateTexture(uint32_t width, uint32_t height) override;
    void UpdateTexture(uint32_t id, Sprite* sprite) override;
    uint32_t DeleteTexture(uint32_t id) override;
    void BindTexture(uint32_t id) override { boundTexture = id; }
    void SetViewport(const Vec2i& position, const Vec2i& size) override;
    void ClearBuffer(Pixel, bool) override {}

    struct TextureSize {
        int32_t width = 0, height = 0;
    };

    bool deviceExists = false;
    uint32_t boundTexture = 0;
    uint64_t framesPresented = 0;
    uint64_t quadsDrawn = 0;
    Vec2i viewportPos, viewportSize;
    // Reserved up front so that uploads in the frame loop never allocate.
    std::unordered_map<uint32_t, TextureSize> textures{64};

  private:
    uint32_t nextTexture = 1;
};

} // namespace dral
