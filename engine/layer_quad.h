// The quad a layer is composed on, shared by every renderer so that they all show a layer's
// offset and scale the same way. Depends only on engine/vec2.h.
#pragma once

#include <array>

#include "engine/vec2.h"

namespace dral {

/// One corner of a layer quad: where it lies in normalised device coordinates, and the texture
/// coordinate shown there.
struct LayerQuadCorner {
    /// Where the corner lies: (-1, -1) is the bottom left of the viewport, (1, 1) the top right.
    Vec2f position;
    /// The texture coordinate shown at the corner.
    Vec2f uv;
};

/// The four corners of the quad that covers the whole viewport for a layer drawn at `offset` and
/// `scale` (texture coordinates offset + scale × corner, so 1.0 is one whole texture), in the
/// order the renderers draw them: bottom left, top left, top right, bottom right of the view.
/// Texture row 0 is the top of the screen.
constexpr std::array<LayerQuadCorner, 4> LayerQuadCorners(const Vec2f& offset, const Vec2f& scale) {
    const float left = offset.x, right = offset.x + scale.x;
    const float top = offset.y, bottom = offset.y + scale.y;
    return {{{{-1.0f, -1.0f}, {left, bottom}},
             {{-1.0f, 1.0f}, {left, top}},
             {{1.0f, 1.0f}, {right, top}},
             {{1.0f, -1.0f}, {right, bottom}}}};
}

} // namespace dral
