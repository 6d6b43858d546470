// Sprite: the engine's in-memory RGBA image, with sampled reads, bounded writes and the raw sprite
// file format (int32 width, int32 height, then RGBA pixels row by row, little-endian).
#pragma once

#include <cstdint>
#include <string>

#include "engine/pixel.h"
#include "engine/result.h"
#include "engine/vec2.h"

namespace dral {

class ResourcePack;

enum SampleMode : int32_t { Bounded = 0, Tiled = 1 };

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

    ResultCode LoadImageFile(const std::string& imageFile, ResourcePack* pack);
    ResultCode LoadFromSpriteFile(const std::string& spriteFile, ResourcePack* pack = nullptr);
    ResultCode SaveToSpriteFile(const std::string& spriteFile) const;
};

} // namespace dral
