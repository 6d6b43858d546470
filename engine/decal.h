// Decal: the GPU twin of a Sprite, and DecalDraw: one queued draw of a decal as a quad in
// normalised device coordinates with perspective-carrying texture coordinates.
#pragma once

#include <cstdint>

#include "engine/pixel.h"
#include "engine/vec2.h"

namespace dral {

class Sprite;

/// The GPU twin of a Sprite: a texture holding the sprite's pixels, drawn as quads by the
/// Tesserine::DrawDecal family. Create, refresh and delete decals on the engine thread while the
/// device exists (OnCreate to OnDestroy).
class Decal {
  public:
    /// Makes a texture from `spr`'s pixels. The decal borrows the sprite, which must outlive it; a
    /// null sprite gives a decal that draws nothing.
    explicit Decal(Sprite* spr);
    /// Releases the texture (not the sprite).
    virtual ~Decal();
    Decal(const Decal&) = delete;
    Decal& operator=(const Decal&) = delete;

    /// Recomputes uvScale and copies the sprite's current pixels into the texture: call it after
    /// drawing into the sprite. Engine thread.
    void Refresh();

    /// The renderer's texture, or -1 when there is none.
    int32_t textureId = -1;
    /// The sprite shown, borrowed.
    Sprite* sprite = nullptr;
    /// 1 / the sprite's size: turns sprite pixels into texture coordinates.
    Vec2f uvScale{1.0f, 1.0f};
};

/// One queued draw of a decal, as the renderer's DrawDecalQuad receives it. It borrows its decal
/// until the end of the frame.
struct DecalDraw {
    /// The decal to draw, borrowed.
    Decal* decal = nullptr;
    /// Corners in normalised device coordinates, in the order top-left, bottom-left,
    /// bottom-right, top-right of the source image.
    Vec2f position[4] = {};
    /// Texture coordinates of the four corners, multiplied by w.
    Vec2f uv[4] = {{0.0f, 0.0f}, {0.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, 0.0f}};
    /// Perspective factor of each corner: 1 for flat quads, set by warped draws.
    float w[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    /// Multiplies every texel.
    Pixel tint{0, 0, 0, 255};
};

} // namespace dral
