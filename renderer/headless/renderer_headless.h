// A Renderer that draws nothing but keeps the contract: fresh texture ids, the bound texture, the
// size of each texture's last upload, and counts of the calls, so tests can check composition.
#pragma once

#include <cstdint>
#include <unordered_map>

#include "engine/backend.h"

namespace dral {

/// The Renderer that draws nothing but keeps the contract, and counts what it was asked to do.
/// Its fields are written on the engine thread; read them after Run has returned.
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

    /// The size of a texture's last upload, in texels.
    struct TextureSize {
        /// Width in texels.
        int32_t width = 0;
        /// Height in texels.
        int32_t height = 0;
    };

    /// True between CreateDevice and DestroyDevice.
    bool deviceExists = false;
    /// The texture id last bound or created.
    uint32_t boundTexture = 0;
    /// PresentFrame calls so far.
    uint64_t framesPresented = 0;
    /// Layer and decal quads drawn so far.
    uint64_t quadsDrawn = 0;
    /// Top-left of the last viewport set, in window pixels.
    Vec2i viewportPos;
    /// Size of the last viewport set, in window pixels.
    Vec2i viewportSize;
    /// Each live texture's size, by id. Reserved up front so that uploads in the frame loop
    /// never allocate.
    std::unordered_map<uint32_t, TextureSize> textures{64};

  private:
    uint32_t nextTexture = 1;
};

} // namespace dral
