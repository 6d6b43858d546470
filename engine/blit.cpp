// PENDING: sprite blits and text.
#include "engine/tesserine.h"

namespace dral {

void Tesserine::DrawSprite(int32_t, int32_t, Sprite*, uint32_t, uint8_t) {}
void Tesserine::DrawSprite(const Vec2i&, Sprite*, uint32_t, uint8_t) {}
void Tesserine::DrawSpriteRegion(int32_t, int32_t, Sprite*, int32_t, int32_t, int32_t, int32_t,
                                 uint32_t, uint8_t) {}
void Tesserine::DrawSpriteRegion(const Vec2i&, Sprite*, const Vec2i&, const Vec2i&, uint32_t,
                                 uint8_t) {}
void Tesserine::DrawString(int32_t, int32_t, const std::string&, Pixel, uint32_t) {}
void Tesserine::DrawString(const Vec2i&, const std::string&, Pixel, uint32_t) {}

} // namespace dral
