// The software renderer's rasteriser: textured, tinted, blended quads drawn the way Mesa's
// llvmpipe draws GL quads (two triangles, pixel-centre sampling with 8 bits of sub-pixel
// precision and a fixed fill rule, nearest texels with repeat wrapping, 8-bit blending).
#pragma once

#include <cstdint>
#include <vector>

#include "engine/pixel.h"

namespace dral::software {

// A corner in frame pixels (x right, y down, (0, 0) the frame's top-left corner) with its
// homogeneous texture coordinates: the texel is sampled at (s / q, t / q).
struct Corner {
    float x, y, s, t, q;
};

// One pixel column of a triangle whose texel column does not change down the rows: the texel
// column it samples, and the last pixel column of the stretch it starts or continues, a stretch
// being either one run of consecutive texels (copied as a block) or columns gathered one by one.
struct Column {
    int32_t texel = 0, end = 0;
    bool run = false;
};

// Where fragments land: the frame, and the rectangle of it (the viewport) they are clipped to.
// columns, when given, is storage reused from quad to quad for unrotated, unwarped triangles, which
// then look their texel columns up once rather than at every pixel; without it every triangle
// takes the general path (the pixels are the same either way).
struct Target {
    Pixel* pixels = nullptr;
    int32_t width = 0, height = 0;
    int32_t left = 0, top = 0, right = 0, bottom = 0; // right and bottom exclusive
    std::vector<Column>* columns = nullptr;
};

// The image sampled; null texels draw the plain tint, as GL does without a texture image.
struct Image {
    const Pixel* texels = nullptr;
    int32_t width = 0, height = 0;
};

// Draws the quad 0-1-2-3 as GL_QUADS does: triangles (0, 1, 3) and (1, 2, 3). Each texel is
// multiplied by the tint, channel by channel; with blend set the result is mixed over the frame by
// its alpha, otherwise it replaces the frame pixel.
void DrawQuad(const Target& target, const Corner corners[4], const Image& image, Pixel tint,
              bool blend);

// 8-bit modulation as the GPU rounds it: a x b / 255, to the nearest.
inline uint32_t Modulate(uint32_t a, uint32_t b) {
    const uint32_t x = a * b + 128;
    return (x + (x >> 8)) >> 8;
}

// a x b / 255 the way llvmpipe's 8-bit blend approximates it (rounding up a little more often).
inline uint32_t BlendScale(uint32_t a, uint32_t b) {
    const uint32_t ab = a * b;
    return (ab + (ab >> 8) + 128) >> 8;
}

// Source over destination by the source's alpha, one 8-bit channel: both terms are scaled and
// rounded on their own, then added with saturation, as Mesa's 8-bit blend does.
inline uint32_t BlendChannel(uint32_t source, uint32_t destination, uint32_t alpha) {
    const uint32_t sum = BlendScale(source, alpha) + BlendScale(destination, 255 - alpha);
    return sum > 255 ? 255 : sum;
}

} // namespace dral::software
