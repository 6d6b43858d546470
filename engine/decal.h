// Decal: the GPU twin of a Sprite, and DecalDraw: one queued draw of a decal as a quad in
// normalised device coordinates with perspective-carrying texture coordinates.
#pragma once

#include <cstdint>

#include "engine/pixel.h"
#include "engine/vec2.h"

namespace dral {

class Sprite;

class Decal {
  public:
    explicit Decal(Sprite* spr);
    virtual ~Decal();
    Decal(const Decal&) = delete;
    Decal& operator=(const Decal&) = delete;

    // Recomputes uvScale and copies the sprite's current pixels into the texture.
    void Refresh();

    int32_t textureId = -1;
    Sprite* sprite = nullptr;
    Vec2f uvScale{1.0f, 1.0f};
};

struct DecalDraw {
    Decal* decal = nullptr;
    // Corners in the order top-left, bottom-left, bottom-right, top-right of the source image.
    Vec2f position[4] = {};
    Vec2f uv[4] = {{0.0f, 0.0f}, {0.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, 0.0f}};
    float w[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    Pixel tint{0, 0, 0, 255};
};

} // namespace dral
