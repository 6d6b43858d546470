// Sprite blits and text: whole sprites or rectangles of them, enlarged by a whole factor and
// mirrored, and strings in the built-in 8 x 8 font. Every target pixel goes through Draw.
#include "engine/tesserine.h"

namespace dral {

void Tesserine::DrawSprite(int32_t x, int32_t y, Sprite* sprite, uint32_t scale, uint8_t flip) {
    if (!sprite) return;
    DrawSpriteRegion(x, y, sprite, 0, 0, sprite->width, sprite->height, scale, flip);
}

void Tesserine::DrawSprite(const Vec2i& pos, Sprite* sprite, uint32_t scale, uint8_t flip) {
    DrawSprite(pos.x, pos.y, sprite, scale, flip);
}

void Tesserine::DrawSpriteRegion(int32_t x, int32_t y, Sprite* sprite, int32_t ox, int32_t oy,
                                 int32_t w, int32_t h, uint32_t scale, uint8_t flip) {
    if (!sprite) return;
    const int64_t columnStart = flip & SpriteFlip::Horizontal ? w - 1 : 0;
    const int64_t rowStart = flip & SpriteFlip::Vertical ? h - 1 : 0;
    const int64_t columnStep = flip & SpriteFlip::Horizontal ? -1 : 1;
    const int64_t rowStep = flip & SpriteFlip::Vertical ? -1 : 1;
    const int64_t size = scale > 1 ? scale : 1;
    // Columns outermost, as an override of Draw sees them. Source pixels outside the sprite come
    // from its sample mode and are drawn like any other, transparent ones included.
    for (int64_t i = 0; i < w; ++i) {
        const int32_t fx = static_cast<int32_t>(ox + columnStart + i * columnStep);
        for (int64_t j = 0; j < h; ++j) {
            const Pixel p = sprite->GetPixel(fx, static_cast<int32_t>(oy + rowStart + j * rowStep));
            for (int64_t a = 0; a < size; ++a)
                for (int64_t b = 0; b < size; ++b)
                    Draw(static_cast<int32_t>(x + i * size + a),
                         static_cast<int32_t>(y + j * size + b), p);
        }
    }
}

void Tesserine::DrawSpriteRegion(const Vec2i& pos, Sprite* sprite, const Vec2i& sourcePos,
                                 const Vec2i& sourceSize, uint32_t scale, uint8_t flip) {
    DrawSpriteRegion(pos.x, pos.y, sprite, sourcePos.x, sourcePos.y, sourceSize.x, sourceSize.y,
                     scale, flip);
}

void Tesserine::DrawString(int32_t x, int32_t y, const std::string& text, Pixel colour,
                           uint32_t scale) {
    // Before the engine is prepared there is no font sheet to read glyphs from.
    if (!fontSprite) return;
    // Opaque text is drawn masked, so whatever mode the caller left does not disturb it.
    const PixelMode previous = pixelMode;
    SetPixelMode(colour.a < 255 ? Alpha : Mask);
    const int64_t size = scale > 1 ? scale : 1;
    int64_t sx = 0, sy = 0;
    for (const char byte : text) {
        const int c = static_cast<signed char>(byte);
        if (c == '\n') {
            sx = 0;
            sy += 8 * int64_t(scale);
            continue;
        }
        // Bytes outside 32..127 land on cells beyond the sheet, which read as Transparent.
        const int32_t cellX = 8 * ((c - 32) % 16), cellY = 8 * ((c - 32) / 16);
        for (int32_t gx = 0; gx < 8; ++gx) {
            for (int32_t gy = 0; gy < 8; ++gy) {
                if (fontSprite->GetPixel(cellX + gx, cellY + gy).r == 0) continue;
                const int64_t px = x + sx + gx * size, py = y + sy + gy * size;
                for (int64_t a = 0; a < size; ++a)
                    for (int64_t b = 0; b < size; ++b)
                        Draw(static_cast<int32_t>(px + a), static_cast<int32_t>(py + b), colour);
            }
        }
        sx += 8 * int64_t(scale);
    }
    SetPixelMode(previous);
}

void Tesserine::DrawString(const Vec2i& pos, const std::string& text, Pixel colour,
                           uint32_t scale) {
    DrawString(pos.x, pos.y, text, colour, scale);
}

} // namespace dral
