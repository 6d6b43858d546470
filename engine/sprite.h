// Sprite: the engine's in-memory RGBA image, with sampled reads, bounded writes and the raw sprite
// file format (int32 width, int32 height, then RGBA pixels row by row, little-endian).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/pixel.h"
#include "engine/result.h"
#include "engine/vec2.h"

namespace dral {

class ResourcePack;

enum SampleMode : int32_t { Bounded = 0, Tiled = 1 };

// The pixel count of a width x height image. False when a side is negative or when the count, or
// its size in bytes, does not fit in size_t (as 65536 x 65536 does not on a 32-bit build). Every
// pixel buffer is sized through this check, so no size ever wraps to a short buffer.
bool PixelCount(int32_t width, int32_t height, size_t& count);

// A new width x height pixel array (opaque black), or nullptr when PixelCount refuses the size or
// memory runs out. Never throws; release it with delete[].
Pixel* AllocatePixels(int32_t width, int32_t height);

class Sprite {
  public:
    Sprite() = default;
    Sprite(int32_t w, int32_t h);
    explicit Sprite(const std::string& imageFile, ResourcePack* pack = nullptr);
    ~Sprite();
    Sprite(const Sprite&) = delete;
    Sprite& operator=(const Sprite&) = delete;

    int32_t width = 0;
    int32_t height = 0;
    Pixel* pixels = nullptr;
    SampleMode sampleMode = Bounded;

    Pixel GetPixel(int32_t x, int32_t y) const;
    Pixel GetPixel(const Vec2i& p) const { return GetPixel(p.x, p.y); }
    bool SetPixel(int32_t x, int32_t y, Pixel p);
    bool SetPixel(const Vec2i& p, Pixel px) { return SetPixel(p.x, p.y, px); }
    Pixel SampleNearest(float u, float v) const;
    Pixel SampleBilinear(float u, float v) const;
    void SetSampleMode(SampleMode mode) { sampleMode = mode; }
    Pixel* Pixels() { return pixels; }
    // Makes the sprite w x h, with a new pixel array unless it already has that size (the pixels
    // are then opaque black or, when kept, as they were). False, leaving it unchanged, when the
    // size is refused or memory runs out.
    bool Resize(int32_t w, int32_t h);

    ResultCode LoadImageFile(const std::string& imageFile, ResourcePack* pack);
    ResultCode LoadFromSpriteFile(const std::string& spriteFile, ResourcePack* pack = nullptr);
    ResultCode SaveToSpriteFile(const std::string& spriteFile) const;
};

} // namespace dral
