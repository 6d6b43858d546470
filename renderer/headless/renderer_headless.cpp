// The drawing-free renderer: bookkeeping only.
#include "renderer/headless/renderer_headless.h"

#include "engine/sprite.h"

namespace dral {

ResultCode Renderer_Headless::CreateDevice(std::vector<void*>, bool, bool) {
    deviceExists = true;
    return Ok;
}

ResultCode Renderer_Headless::DestroyDevice() {
    deviceExists = false;
    return Ok;
}

uint32_t Renderer_Headless::CreateTexture(uint32_t, uint32_t) {
    const uint32_t id = nextTexture++;
    textures[id] = {};
    boundTexture = id;
    return id;
}

void Renderer_Headless::UpdateTexture(uint32_t, Sprite* sprite) {
    // Like glTexImage2D, the upload goes into whatever texture is bound.
    auto found = textures.find(boundTexture);
    if (found != textures.end() && sprite) found->second = {sprite->width, sprite->height};
}

uint32_t Renderer_Headless::DeleteTexture(uint32_t id) {
    textures.erase(id);
    return id;
}

void Renderer_Headless::SetViewport(const Vec2i& position, const Vec2i& size) {
    viewportPos = position;
    viewportSize = size;
}

} // namespace dral
