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

/// What a sprite answers for positions outside it: Bounded gives Transparent, Tiled repeats it.
enum SampleMode : int32_t { Bounded = 0, Tiled = 1 };

/// The pixel count of a width x height image. False when a side is negative or when the count, or
/// its size in bytes, does not fit in size_t (as 65536 x 65536 does not on a 32-bit build). Every
/// pixel buffer is sized through this check, so no size ever wraps to a short buffer.
bool PixelCount(int32_t width, int32_t height, size_t& count);

/// A new width x height pixel array (opaque black), or nullptr when PixelCount refuses the size or
/// memory runs out. Never throws; release it with delete[]. Any thread.
Pixel* AllocatePixels(int32_t width, int32_t height);

/// An RGBA image in memory that owns its row-major pixel array. Handled by pointer and never
/// copied; drawing into it needs Tesserine::SetDrawTarget. A sprite is not shared between threads
/// while one of them changes it.
class Sprite {
  public:
    /// An empty 0 × 0 sprite.
    Sprite() = default;
    /// A w × h sprite of opaque black; empty (0 × 0) when the size is negative or too large.
    Sprite(int32_t w, int32_t h);
    /// A sprite loaded with LoadImageFile; empty when loading fails.
    explicit Sprite(const std::string& imageFile, ResourcePack* pack = nullptr);
    /// Releases the pixel array.
    ~Sprite();
    Sprite(const Sprite&) = delete;
    Sprite& operator=(const Sprite&) = delete;

    /// Width in pixels.
    int32_t width = 0;
    /// Height in pixels.
    int32_t height = 0;
    /// width × height pixels, row by row from the top-left; owned by the sprite.
    Pixel* pixels = nullptr;
    /// What reads outside the sprite return.
    SampleMode sampleMode = Bounded;

    /// The pixel at (x, y); outside the sprite, Transparent or the tiled pixel (sampleMode).
    Pixel GetPixel(int32_t x, int32_t y) const;
    /// GetPixel at `p`.
    Pixel GetPixel(const Vec2i& p) const { return GetPixel(p.x, p.y); }
    /// Stores p at (x, y); false, and nothing written, outside the sprite.
    bool SetPixel(int32_t x, int32_t y, Pixel p);
    /// SetPixel at `p`.
    bool SetPixel(const Vec2i& p, Pixel px) { return SetPixel(p.x, p.y, px); }
    /// The pixel nearest to texture coordinates (u, v), 0–1 across the sprite.
    Pixel SampleNearest(float u, float v) const;
    /// The four pixels around (u, v), 0–1 across the sprite, blended by distance.
    Pixel SampleBilinear(float u, float v) const;
    /// Sets what reads outside the sprite return.
    void SetSampleMode(SampleMode mode) { sampleMode = mode; }
    /// The pixel array (still owned by the sprite).
    Pixel* Pixels() { return pixels; }

    /// Replaces the image with an image file (any format the platform decodes), read from disk or,
    /// with a pack, from its entry of that name. NoFile on failure, the sprite unchanged. Any
    /// thread.
    ResultCode LoadImageFile(const std::string& imageFile, ResourcePack* pack);
    /// Replaces the image with a raw sprite file, from disk or from a pack entry. Fail when it is
    /// missing, short or malformed, and the sprite is then empty. Any thread.
    ResultCode LoadFromSpriteFile(const std::string& spriteFile, ResourcePack* pack = nullptr);
    /// Writes the image as a raw sprite file; Fail when it cannot. Any thread.
    ResultCode SaveToSpriteFile(const std::string& spriteFile) const;
};

} // namespace dral
