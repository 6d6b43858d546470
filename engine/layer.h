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

/// One drawing layer: a screen-sized sprite paired with a renderer texture, and how it is composed.
/// The engine owns its layers (Tesserine::GetLayers); use the Tesserine::SetLayer functions to
/// change them, on the engine thread.
struct Layer {
    /// Shift of the picture in texture units (1.0 = the whole screen).
    Vec2f offset{0.0f, 0.0f};
    /// Texture units shown across the viewport: below 1 zooms in.
    Vec2f scale{1.0f, 1.0f};
    /// Composed only while true; the base layer always is.
    bool shown = false;
    /// The sprite changed: upload it before the next composition.
    bool needsUpload = false;
    /// The layer's image, owned by the engine and deleted by its destructor.
    Sprite* sprite = nullptr;
    /// The renderer's texture of the image.
    uint32_t textureId = 0;
    /// Decal draws queued on this layer in this frame, drawn after its quad.
    std::vector<DecalDraw> decalDraws;
    /// Multiplies every pixel when composed.
    Pixel tint = White;
    /// When set, called instead of the engine's drawing of the layer.
    std::function<void()> renderHook;
};

} // namespace dral
