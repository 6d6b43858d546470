// Renderer_Software: textures as pixel arrays by id, the viewport mapping of GL, two frames that
// swap on present, and the quads handed to the rasteriser.
#include "renderer/software/renderer_software.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/decal.h"
#include "engine/layer_quad.h"
#include "engine/sprite.h"

namespace dral {

using software::Corner;

ResultCode Renderer_Software::CreateDevice(std::vector<void*>, bool, bool) {
    return Ok;
}

ResultCode Renderer_Software::DestroyDevice() {
    textures.clear();
    return Ok;
}

void Renderer_Software::PresentFrame() {
    if (unheld) {
        skippedFrames++;
        return;
    }
    std::swap(front, back);
    presented = true;
    if (presenter && !front.empty()) presenter(front.data(), frameSize.x, frameSize.y);
}

Corner Renderer_Software::ToFrame(const Vec2f& ndc, float s, float t, float q) const {
    // GL's viewport transform, with rows counted from the top of the frame.
    const float halfWidth = float(viewSize.x) * 0.5f, halfHeight = float(viewSize.y) * 0.5f;
    const float x = ndc.x * halfWidth + (halfWidth + float(viewPos.x));
    const float y = ndc.y * -halfHeight + (float(frameSize.y) - (halfHeight + float(viewPos.y)));
    return {x, y, s, t, q};
}

void Renderer_Software::DrawQuad(const Corner corners[4], uint32_t textureId, Pixel tint) {
    if (unheld) return;
    software::Image image;
    const auto found = textures.find(textureId);
    if (found != textures.end() && !found->second.texels.empty())
        image = {found->second.texels.data(), found->second.width, found->second.height};
    // Fragments stay inside the viewport, as GL's clipping keeps them there.
    software::Target target{back.data(), frameSize.x, frameSize.y, 0, 0, 0, 0, &columns};
    // In 64 bits: a held frame is small, but the viewport's position and size need not be.
    const int64_t viewRight = int64_t(viewPos.x) + viewSize.x;
    const int64_t viewTop = int64_t(frameSize.y) - viewPos.y - viewSize.y;
    target.left = std::clamp(viewPos.x, 0, frameSize.x);
    target.right = static_cast<int32_t>(std::clamp<int64_t>(viewRight, 0, frameSize.x));
    target.top = static_cast<int32_t>(std::clamp<int64_t>(viewTop, 0, frameSize.y));
    target.bottom =
        static_cast<int32_t>(std::clamp<int64_t>(int64_t(frameSize.y) - viewPos.y, 0, frameSize.y));
    software::DrawQuad(target, corners, image, tint, blending);
}

void Renderer_Software::DrawLayerQuad(const Vec2f& offset, const Vec2f& scale, Pixel tint) {
    Corner corners[4];
    int i = 0;
    for (const LayerQuadCorner& c : LayerQuadCorners(offset, scale))
        corners[i++] = ToFrame(c.position, c.uv.x, c.uv.y, 1.0f);
    DrawQuad(corners, boundTexture, tint);
}

void Renderer_Software::DrawDecalQuad(const DecalDraw& decal) {
    if (!decal.decal) return;
    boundTexture = static_cast<uint32_t>(decal.decal->textureId);
    Corner corners[4];
    for (int i = 0; i < 4; ++i)
        corners[i] = ToFrame(decal.position[i], decal.uv[i].x, decal.uv[i].y, decal.w[i]);
    DrawQuad(corners, boundTexture, decal.tint);
}

uint32_t Renderer_Software::CreateTexture(uint32_t, uint32_t) {
    const uint32_t id = nextTexture++;
    textures[id] = {};
    boundTexture = id;
    return id;
}

void Renderer_Software::UpdateTexture(uint32_t, Sprite* sprite) {
    // Like glTexImage2D, the upload replaces the whole image of the bound texture.
    const auto found = textures.find(boundTexture);
    if (found == textures.end() || !sprite) return;
    Texture& texture = found->second;
    texture.width = sprite->width;
    texture.height = sprite->height;
    const size_t count = size_t(sprite->width) * size_t(sprite->height);
    if (!sprite->pixels || count == 0) {
        texture.texels.clear();
        return;
    }
    // Same-sized uploads, such as the base layer's every frame, reuse the storage.
    texture.texels.assign(sprite->pixels, sprite->pixels + count);
}

uint32_t Renderer_Software::DeleteTexture(uint32_t id) {
    textures.erase(id);
    return id;
}

void Renderer_Software::SetViewport(const Vec2i& position, const Vec2i& size) {
    viewPos = position;
    viewSize = {std::max(size.x, 0), std::max(size.y, 0)};
    const int64_t width = std::max<int64_t>(int64_t(viewSize.x) + 2 * int64_t(position.x), 0);
    const int64_t height = std::max<int64_t>(int64_t(viewSize.y) + 2 * int64_t(position.y), 0);
    if (width > MaxFrameSide || height > MaxFrameSide || width * height > frameLimit) {
        DropFrames();
        return;
    }
    const Vec2i frame{static_cast<int32_t>(width), static_cast<int32_t>(height)};
    if (!unheld && frame == frameSize) return;
    unheld = false;
    frameSize = frame;
    presented = false;
    const size_t count = size_t(frame.x) * size_t(frame.y);
    // The engine throws nothing: a frame that memory cannot give is skipped like a huge one.
    try {
        back.assign(count, Black);
        front.assign(count, Black);
        // The rasteriser's column map spans at most the frame's width; it never grows it.
        columns.resize(size_t(frame.x));
    } catch (const std::bad_alloc&) {
        DropFrames();
    }
}

// Gives the frames' memory back and skips drawing until a frame can be held again.
void Renderer_Software::DropFrames() {
    unheld = true;
    presented = false;
    frameSize = {0, 0};
    std::vector<Pixel>().swap(back);
    std::vector<Pixel>().swap(front);
    std::vector<software::Column>().swap(columns);
}

void Renderer_Software::ClearBuffer(Pixel p, bool) {
    // The packed word: assigning the whole union costs several instructions a pixel.
    for (Pixel& pixel : back) pixel.packed = p.packed;
}

bool Renderer_Software::ReadFrame(Sprite& frame) {
    if (!presented || front.empty()) return false;
    if (!frame.Resize(frameSize.x, frameSize.y)) return false;
    std::memcpy(frame.pixels, front.data(), front.size() * sizeof(Pixel));
    return true;
}

} // namespace dral
