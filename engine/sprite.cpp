// Sprite pixel storage and access: bounded or tiled reads, bounded writes, and nearest and
// bilinear sampling at normalised coordinates; and the one construction from an image file.
// Needs: the standard library; LoadImageFile comes from the build's image loading (assets/).
#include "engine/sprite.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace dral {

namespace {

// Float to int32 by truncation toward zero, saturating instead of the undefined behaviour of an
// out-of-range conversion; NaN reads as 0. Keeps sample indices well away from overflow.
int32_t TruncateIndex(float value) {
    constexpr float limit = 1073741824.0f; // 2^30
    if (!(value == value)) return 0;
    return static_cast<int32_t>(std::clamp(value, -limit, limit));
}

// A blended channel, truncated, low 8 bits kept; blends of finite samples lie in 0..255.
uint8_t Channel(float value) {
    if (!(value >= 0.0f)) return 0;
    return static_cast<uint8_t>(static_cast<int32_t>(std::min(value, 65535.0f)));
}

} // namespace

bool PixelCount(int32_t width, int32_t height, size_t& count) {
    if (width < 0 || height < 0) return false;
    const size_t w = size_t(uint32_t(width)), h = size_t(uint32_t(height));
    // An array new-expression throws (even the nothrow form) beyond PTRDIFF_MAX bytes.
    constexpr size_t maxCount = size_t(PTRDIFF_MAX) / sizeof(Pixel);
    if (w != 0 && h > maxCount / w) return false;
    count = w * h;
    return true;
}

Pixel* AllocatePixels(int32_t width, int32_t height) {
    size_t count = 0;
    if (!PixelCount(width, height, count)) return nullptr;
    return new (std::nothrow) Pixel[count];
}

Sprite::Sprite(int32_t w, int32_t h) {
    // A size that cannot be held, or an array that cannot be had, leaves the sprite empty rather
    // than throwing or holding a wrapped-around size.
    pixels = AllocatePixels(w, h);
    if (!pixels) return;
    width = w;
    height = h;
}

// Every build defines LoadImageFile its own way (a decoder seam, or the browser); the constructor
// is the same for all of them.
Sprite::Sprite(const std::string& imageFile, ResourcePack* pack) {
    LoadImageFile(imageFile, pack);
}

Sprite::~Sprite() {
    delete[] pixels;
}

bool Sprite::Resize(int32_t w, int32_t h) {
    if (pixels && w == width && h == height) return true;
    Pixel* fresh = AllocatePixels(w, h);
    if (!fresh) return false;
    delete[] pixels;
    pixels = fresh;
    width = w;
    height = h;
    return true;
}

Pixel Sprite::GetFolded(int32_t x, int32_t y) const {
    // A sprite with no pixels has nothing to fold onto.
    if (width <= 0 || height <= 0) return Transparent;
    // The remainder keeps the sign of the coordinate, so negative positions reflect about 0.
    const int32_t column = std::abs(x % width), row = std::abs(y % height);
    return pixels[size_t(row) * size_t(width) + size_t(column)];
}

Pixel Sprite::SampleNearest(float u, float v) const {
    const int32_t sx = std::min(TruncateIndex(float(width) * u), width - 1);
    const int32_t sy = std::min(TruncateIndex(float(height) * v), height - 1);
    return GetPixel(sx, sy);
}

Pixel Sprite::SampleBilinear(float u, float v) const {
    const float fx = float(width) * u - 0.5f, fy = float(height) * v - 0.5f;
    const float floorX = std::floor(fx), floorY = std::floor(fy);
    const int32_t x0 = TruncateIndex(floorX), y0 = TruncateIndex(floorY);
    const float ax = fx - floorX, ay = fy - floorY, bx = 1.0f - ax, by = 1.0f - ay;

    // Each index is clamped on one side only: inside 0..1 nothing leaves the image, beyond it the
    // sample mode answers.
    const int32_t left = std::max(x0, 0), right = std::min(x0 + 1, width - 1);
    const int32_t top = std::max(y0, 0), bottom = std::min(y0 + 1, height - 1);
    const Pixel p1 = GetPixel(left, top), p2 = GetPixel(right, top);
    const Pixel p3 = GetPixel(left, bottom), p4 = GetPixel(right, bottom);

    auto blend = [&](uint8_t c1, uint8_t c2, uint8_t c3, uint8_t c4) {
        return Channel((float(c1) * bx + float(c2) * ax) * by +
                       (float(c3) * bx + float(c4) * ax) * ay);
    };
    return Pixel(blend(p1.r, p2.r, p3.r, p4.r), blend(p1.g, p2.g, p3.g, p4.g),
                 blend(p1.b, p2.b, p3.b, p4.b), 255);
}

} // namespace dral
