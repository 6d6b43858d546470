// PENDING: pixel modes and primitives.
#include "engine/tesserine.h"

namespace dral {

bool Tesserine::Draw(int32_t x, int32_t y, Pixel p) {
    return drawTarget ? drawTarget->SetPixel(x, y, p) : false;
}
void Tesserine::SetPixelMode(CustomPixelFunction function) {
    customPixelFunc = std::move(function);
    pixelMode = Custom;
}
void Tesserine::SetBlendFactor(float factor) { blendFactor = factor; }
void Tesserine::Clear(Pixel) {}
void Tesserine::DrawLine(int32_t, int32_t, int32_t, int32_t, Pixel, uint32_t) {}
void Tesserine::DrawLine(const Vec2i&, const Vec2i&, Pixel, uint32_t) {}
void Tesserine::DrawCircle(int32_t, int32_t, int32_t, Pixel, uint8_t) {}
void Tesserine::DrawCircle(const Vec2i&, int32_t, Pixel, uint8_t) {}
void Tesserine::FillCircle(int32_t, int32_t, int32_t, Pixel) {}
void Tesserine::FillCircle(const Vec2i&, int32_t, Pixel) {}
void Tesserine::DrawRect(int32_t, int32_t, int32_t, int32_t, Pixel) {}
void Tesserine::DrawRect(const Vec2i&, const Vec2i&, Pixel) {}
void Tesserine::FillRect(int32_t, int32_t, int32_t, int32_t, Pixel) {}
void Tesserine::FillRect(const Vec2i&, const Vec2i&, Pixel) {}
void Tesserine::DrawTriangle(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, Pixel) {}
void Tesserine::DrawTriangle(const Vec2i&, const Vec2i&, const Vec2i&, Pixel) {}
void Tesserine::FillTriangle(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, Pixel) {}
void Tesserine::FillTriangle(const Vec2i&, const Vec2i&, const Vec2i&, Pixel) {}

} // namespace dral
