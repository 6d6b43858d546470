// Layer: one screen-sized drawing image paired with a renderer texture, composed on the GPU
// every frame with its offset, scale, tint and queued decal draws.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "engine/decal.h"
#include "engine/pixel.h"
#include "engine/vec2.h"

namespace dral {

class Sprite;

struct Layer {
    Vec2f offset{0.0f, 0.0f};
    Vec2f scale{1.0f, 1.0f};
    bool shown = false;
    bool needsUpload = false;
    Sprite* sprite = nullptr;
    uint32_t textureId = 0;
    std::vector<DecalDraw> decalDraws;
    Pixel tint = White;
    std::function<void()> renderHook;
};

} // namespace dral
