// Sprite pixel storage and access.
#include "engine/sprite.h"

namespace dral {

Sprite::Sprite(int32_t w, int32_t h) : width(w), height(h), pixels(new Pixel[size_t(w) * h]) {}

Sprite::~Sprite() { delete[] pixels; }

Pixel Sprite::GetPixel(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return Transparent;
    return pixels[y * width + x];
}

bool Sprite::SetPixel(int32_t x, int32_t y, Pixel p) {
    if (x < 0 || y < 0 || x >= width || y >= height) return false;
    pixels[y * width + x] = p;
    return true;
}

Pixel Sprite::SampleNearest(float, float) const { return Transparent; }
Pixel Sprite::SampleBilinear(float, float) const { return Transparent; }

} // namespace dral
