// Decals: the texture twin of a sprite, and the engine's deferred decal draws, which turn screen
// positions into device-coordinate quads (plain, cut, rotated or perspective-warped) queued on the
// target layer until its composition.
// Needs: the process-wide renderer (textures) and the engine's layers (engine/tesserine.h).
#include "engine/decal.h"

#include <cmath>

#include "engine/tesserine.h"

namespace dral {

namespace {

constexpr int32_t NoTexture = -1;

// A decal without a sprite has no texture and no size: there is nothing to draw.
bool Drawable(const Decal* decal) {
    return decal != nullptr && decal->sprite != nullptr;
}

Vec2f SpriteSize(const Decal* decal) {
    return {static_cast<float>(decal->sprite->width), static_cast<float>(decal->sprite->height)};
}

DecalDraw StartDraw(Decal* decal, const Pixel& tint) {
    DecalDraw draw;
    draw.decal = decal;
    draw.tint = tint;
    return draw;
}

// Texture coordinates of the sprite rectangle sourcePos .. sourcePos + sourceSize.
void SetRegionUv(DecalDraw& draw, const Vec2f& sourcePos, const Vec2f& sourceSize) {
    const Vec2f t = sourcePos * draw.decal->uvScale;
    const Vec2f b = t + sourceSize * draw.decal->uvScale;
    draw.uv[0] = {t.x, t.y};
    draw.uv[1] = {t.x, b.y};
    draw.uv[2] = {b.x, b.y};
    draw.uv[3] = {b.x, t.y};
}

// Screen corners of a size-sized rectangle whose point center sits at pos, scaled about center
// and turned by angle (clockwise on screen, since y points down).
void RotatedCorners(Vec2f out[4], const Vec2f& pos, float angle, const Vec2f& center,
                    const Vec2f& size, const Vec2f& scale) {
    const Vec2f local[4] = {{0.0f, 0.0f}, {0.0f, size.y}, {size.x, size.y}, {size.x, 0.0f}};
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    for (int i = 0; i < 4; ++i) {
        const Vec2f k = (local[i] - center) * scale;
        out[i] = Vec2f{k.x * c - k.y * s, k.x * s + k.y * c} + pos;
    }
}

} // namespace

Decal::Decal(Sprite* spr) {
    if (!spr) return;
    sprite = spr;
    textureId = static_cast<int32_t>(renderer->CreateTexture(static_cast<uint32_t>(spr->width),
                                                             static_cast<uint32_t>(spr->height)));
    Refresh();
}

Decal::~Decal() {
    if (textureId == NoTexture) return;
    renderer->DeleteTexture(static_cast<uint32_t>(textureId));
    textureId = NoTexture;
}

void Decal::Refresh() {
    if (!sprite) return;
    uvScale = {1.0f / static_cast<float>(sprite->width), 1.0f / static_cast<float>(sprite->height)};
    // The renderer uploads into the bound texture.
    renderer->BindTexture(static_cast<uint32_t>(textureId));
    renderer->UpdateTexture(static_cast<uint32_t>(textureId), sprite);
}

Vec2f Tesserine::ToDeviceCoords(const Vec2f& p) const {
    return {p.x * invScreenSize.x * 2.0f - 1.0f, (p.y * invScreenSize.y * 2.0f - 1.0f) * -1.0f};
}

void Tesserine::QueueDecalDraw(const DecalDraw& draw) {
    // Before the base layer exists there is no queue to take the draw.
    if (targetLayer >= layers.size()) return;
    layers[targetLayer].decalDraws.push_back(draw);
}

void Tesserine::QueueRect(DecalDraw& draw, const Vec2f& pos, const Vec2f& extent) {
    const Vec2f s = ToDeviceCoords(pos);
    const Vec2f e{s.x + extent.x, s.y - extent.y};
    draw.position[0] = {s.x, s.y};
    draw.position[1] = {s.x, e.y};
    draw.position[2] = {e.x, e.y};
    draw.position[3] = {e.x, s.y};
    QueueDecalDraw(draw);
}

void Tesserine::QueueWarped(DecalDraw& draw, const Vec2f corners[4]) {
    const Vec2f& p0 = corners[0];
    const Vec2f& p1 = corners[1];
    const Vec2f& p2 = corners[2];
    const Vec2f& p3 = corners[3];
    // Parallel or zero-length diagonals span no area.
    const float d = (p2.x - p0.x) * (p3.y - p1.y) - (p3.x - p1.x) * (p2.y - p0.y);
    if (d == 0.0f) return;
    const float r = 1.0f / d;
    const float rn = ((p3.x - p1.x) * (p0.y - p1.y) - (p3.y - p1.y) * (p0.x - p1.x)) * r;
    const float sn = ((p2.x - p0.x) * (p0.y - p1.y) - (p2.y - p0.y) * (p0.x - p1.x)) * r;
    // Where the diagonals cross inside both, the ratio of a corner's distance from the crossing to
    // the opposite corner's is that corner's perspective depth.
    Vec2f m{0.0f, 0.0f};
    if (!(rn < 0.0f || rn > 1.0f || sn < 0.0f || sn > 1.0f)) m = p0 + rn * (p2 - p0);
    float dist[4], q[4];
    for (int i = 0; i < 4; ++i) dist[i] = (corners[i] - m).Length();
    for (int i = 0; i < 4; ++i) {
        const float opposite = dist[(i + 2) % 4];
        // A corner on the crossing, or opposite one that is, has no depth ratio: dividing would
        // put infinities and NaNs into the texture coordinates.
        q[i] = (dist[i] == 0.0f || opposite == 0.0f) ? 1.0f : (dist[i] + opposite) / opposite;
        // Corners so far out that the arithmetic overflows give no usable factor: like a quad
        // without area, such a draw is dropped.
        if (!std::isfinite(q[i])) return;
    }
    for (int i = 0; i < 4; ++i) {
        draw.uv[i] *= q[i];
        draw.w[i] *= q[i];
        draw.position[i] = ToDeviceCoords(corners[i]);
    }
    QueueDecalDraw(draw);
}

void Tesserine::DrawDecal(const Vec2f& pos, Decal* decal, const Vec2f& scale, const Pixel& tint) {
    if (!Drawable(decal)) return;
    DecalDraw draw = StartDraw(decal, tint);
    const Vec2f size = SpriteSize(decal);
    QueueRect(
        draw, pos,
        {size.x * invScreenSize.x * 2.0f * scale.x, size.y * invScreenSize.y * 2.0f * scale.y});
}

void Tesserine::DrawDecalRegion(const Vec2f& pos, Decal* decal, const Vec2f& sourcePos,
                                const Vec2f& sourceSize, const Vec2f& scale, const Pixel& tint) {
    if (!Drawable(decal)) return;
    DecalDraw draw = StartDraw(decal, tint);
    SetRegionUv(draw, sourcePos, sourceSize);
    // The region's extent doubles first, unlike DrawDecal's: near FLT_MAX the two orders differ.
    QueueRect(draw, pos,
              {2.0f * sourceSize.x * invScreenSize.x * scale.x,
               2.0f * sourceSize.y * invScreenSize.y * scale.y});
}

void Tesserine::DrawDecalRotated(const Vec2f& pos, Decal* decal, float angle, const Vec2f& center,
                                 const Vec2f& scale, const Pixel& tint) {
    if (!Drawable(decal)) return;
    DecalDraw draw = StartDraw(decal, tint);
    Vec2f corners[4];
    RotatedCorners(corners, pos, angle, center, SpriteSize(decal), scale);
    for (int i = 0; i < 4; ++i) draw.position[i] = ToDeviceCoords(corners[i]);
    QueueDecalDraw(draw);
}

void Tesserine::DrawDecalRegionRotated(const Vec2f& pos, Decal* decal, float angle,
                                       const Vec2f& center, const Vec2f& sourcePos,
                                       const Vec2f& sourceSize, const Vec2f& scale,
                                       const Pixel& tint) {
    if (!Drawable(decal)) return;
    DecalDraw draw = StartDraw(decal, tint);
    SetRegionUv(draw, sourcePos, sourceSize);
    Vec2f corners[4];
    RotatedCorners(corners, pos, angle, center, sourceSize, scale);
    for (int i = 0; i < 4; ++i) draw.position[i] = ToDeviceCoords(corners[i]);
    QueueDecalDraw(draw);
}

void Tesserine::DrawDecalWarped(Decal* decal, const Vec2f corners[4], const Pixel& tint) {
    if (!Drawable(decal)) return;
    DecalDraw draw = StartDraw(decal, tint);
    QueueWarped(draw, corners);
}

void Tesserine::DrawDecalWarped(Decal* decal, const std::array<Vec2f, 4>& corners,
                                const Pixel& tint) {
    DrawDecalWarped(decal, corners.data(), tint);
}

void Tesserine::DrawDecalRegionWarped(Decal* decal, const Vec2f corners[4], const Vec2f& sourcePos,
                                      const Vec2f& sourceSize, const Pixel& tint) {
    if (!Drawable(decal)) return;
    DecalDraw draw = StartDraw(decal, tint);
    SetRegionUv(draw, sourcePos, sourceSize);
    QueueWarped(draw, corners);
}

void Tesserine::DrawDecalRegionWarped(Decal* decal, const std::array<Vec2f, 4>& corners,
                                      const Vec2f& sourcePos, const Vec2f& sourceSize,
                                      const Pixel& tint) {
    DrawDecalRegionWarped(decal, corners.data(), sourcePos, sourceSize, tint);
}

void Tesserine::DrawStringDecals(const Vec2f& pos, const std::string& text, Pixel colour,
                                 const Vec2f& scale) {
    constexpr int32_t Cell = 8;
    constexpr int32_t CellsPerRow = 16;
    constexpr float CellSize = static_cast<float>(Cell);
    Vec2f o{0.0f, 0.0f};
    for (const char c : text) {
        // Bytes above 127 are negative here; their cells lie outside the sheet and the
        // repeating texture wraps them back in.
        const int32_t ch = static_cast<int8_t>(c);
        if (ch == '\n') {
            o.x = 0.0f;
            o.y += CellSize * scale.y;
            continue;
        }
        const int32_t cx = (ch - 32) % CellsPerRow;
        const int32_t cy = (ch - 32) / CellsPerRow;
        DrawDecalRegion(pos + o, fontDecal.get(),
                        {static_cast<float>(cx * Cell), static_cast<float>(cy * Cell)},
                        {CellSize, CellSize}, scale, colour);
        o.x += CellSize * scale.x;
    }
}

} // namespace dral
