// PENDING: decals.
#include "engine/decal.h"

#include "engine/tesserine.h"

namespace dral {

Decal::Decal(Sprite* spr) {
    if (!spr) return;
    sprite = spr;
    textureId = static_cast<int32_t>(
        renderer->CreateTexture(static_cast<uint32_t>(spr->width), static_cast<uint32_t>(spr->height)));
    Refresh();
}
Decal::~Decal() {
    if (textureId != -1) renderer->DeleteTexture(static_cast<uint32_t>(textureId));
}
void Decal::Refresh() {
    if (!sprite) return;
    renderer->BindTexture(static_cast<uint32_t>(textureId));
    renderer->UpdateTexture(static_cast<uint32_t>(textureId), sprite);
}

void Tesserine::DrawDecal(const Vec2f&, Decal*, const Vec2f&, const Pixel&) {}
void Tesserine::DrawDecalRegion(const Vec2f&, Decal*, const Vec2f&, const Vec2f&, const Vec2f&,
                                const Pixel&) {}
void Tesserine::DrawDecalRotated(const Vec2f&, Decal*, float, const Vec2f&, const Vec2f&,
                                 const Pixel&) {}
void Tesserine::DrawDecalRegionRotated(const Vec2f&, Decal*, float, const Vec2f&, const Vec2f&,
                                       const Vec2f&, const Vec2f&, const Pixel&) {}
void Tesserine::DrawDecalWarped(Decal*, const Vec2f[4], const Pixel&) {}
void Tesserine::DrawDecalWarped(Decal*, const std::array<Vec2f, 4>&, const Pixel&) {}
void Tesserine::DrawDecalRegionWarped(Decal*, const Vec2f[4], const Vec2f&, const Vec2f&,
                                      const Pixel&) {}
void Tesserine::DrawDecalRegionWarped(Decal*, const std::array<Vec2f, 4>&, const Vec2f&,
                                      const Vec2f&, const Pixel&) {}
void Tesserine::DrawStringDecals(const Vec2f&, const std::string&, Pixel, const Vec2f&) {}

} // namespace dral
