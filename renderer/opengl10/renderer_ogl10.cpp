// The OpenGL 1.x drawing shared by every window system. The matrices are never set, so vertices are
// in normalised device coordinates; textures repeat (the GL default), filter nearest and modulate.
// Work that cannot change a pixel is skipped: a clear overwritten by the next one, blending and
// modulation of an opaque layer with an opaque or white tint, and re-specifying a texture of
// unchanged size.
#include "renderer/opengl10/renderer_ogl10.h"

#ifdef _WIN32
#include <windows.h>
#endif
#include <GL/gl.h>

#include <algorithm>

#include "engine/decal.h"
#include "engine/layer_quad.h"
#include "engine/sprite.h"

namespace dral {

namespace {
constexpr float ChannelMax = 255.0f;

// True when every pixel has alpha 255. Checked in blocks so a translucent image stops early.
bool AllOpaque(const Pixel* pixels, size_t count) {
    constexpr size_t Block = 1024;
    for (size_t start = 0; start < count; start += Block) {
        const size_t end = std::min(count, start + Block);
        uint32_t all = 0xFFFFFFFFu;
        for (size_t i = start; i < end; ++i) all &= pixels[i].packed;
        if (Pixel(all).a != 255) return false;
    }
    return true;
}
} // namespace

Renderer_OGL10::Renderer_OGL10() : context(CreateSystemGLContext()) {}

Renderer_OGL10::Renderer_OGL10(std::unique_ptr<GLContext> glContext)
    : context(std::move(glContext)) {}

ResultCode Renderer_OGL10::CreateDevice(std::vector<void*> params, bool, bool vsync) {
    if (params.empty() || !context->Create(params[0])) return Fail;
    deviceExists = true;
    // With vsync the driver's default interval stays in force.
    if (!vsync) context->SetSwapInterval(0);
    glEnable(GL_TEXTURE_2D);
    // Warped decals carry a perspective factor in their q coordinate.
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    return Ok;
}

ResultCode Renderer_OGL10::DestroyDevice() {
    // What the context held goes with it.
    pendingClear = {};
    opaqueTextures.clear();
    blending = false;
    deviceExists = false;
    context->Destroy();
    return Ok;
}

void Renderer_OGL10::PresentFrame() {
    IssueClear();
    context->Swap();
}

void Renderer_OGL10::BeginDrawing() {
    IssueClear();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    blending = true;
}

uint32_t Renderer_OGL10::BoundTexture() {
    GLint name = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return static_cast<uint32_t>(name);
}

bool Renderer_OGL10::IsOpaque(uint32_t texture) const {
    return texture < opaqueTextures.size() && opaqueTextures[texture];
}

void Renderer_OGL10::DrawLayerQuad(const Vec2f& offset, const Vec2f& scale, Pixel tint) {
    IssueClear();
    // Opaque texels under an opaque tint: the blend takes the source whole. Under a white tint
    // the modulation keeps every texel as it is, too.
    const bool covers = blending && tint.a == 255 && IsOpaque(BoundTexture());
    const bool replaces = covers && tint == White;
    if (covers) glDisable(GL_BLEND);
    if (replaces) glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glBegin(GL_QUADS);
    glColor4ub(tint.r, tint.g, tint.b, tint.a);
    for (const LayerQuadCorner& c : LayerQuadCorners(offset, scale)) {
        glTexCoord2f(c.uv.x, c.uv.y);
        glVertex3f(c.position.x, c.position.y, 0.0f);
    }
    glEnd();
    if (replaces) glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    if (covers) glEnable(GL_BLEND);
}

void Renderer_OGL10::DrawDecalQuad(const DecalDraw& decal) {
    IssueClear();
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(decal.decal->textureId));
    glBegin(GL_QUADS);
    glColor4ub(decal.tint.r, decal.tint.g, decal.tint.b, decal.tint.a);
    for (int i = 0; i < 4; ++i) {
        glTexCoord4f(decal.uv[i].x, decal.uv[i].y, 0.0f, decal.w[i]);
        glVertex2f(decal.position[i].x, decal.position[i].y);
    }
    glEnd();
}

uint32_t Renderer_OGL10::CreateTexture(uint32_t, uint32_t) {
    IssueClear();
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, static_cast<GLfloat>(GL_MODULATE));
    return id;
}

void Renderer_OGL10::UpdateTexture(uint32_t, Sprite* sprite) {
    IssueClear();
    if (!sprite) return;
    // The whole image is replaced, so the texture also takes the sprite's size. Pixels are
    // r, g, b, a bytes in memory and sprite row 0 becomes t = 0. An image of the same size is
    // overwritten in place, which spares the driver a new allocation.
    GLint width = -1, height = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    if (width == sprite->width && height == sprite->height && width > 0 && height > 0)
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE,
                        sprite->pixels);
    else
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, sprite->width, sprite->height, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, sprite->pixels);
    const uint32_t texture = BoundTexture();
    // Grows only when a new texture is first filled, never in a steady frame.
    if (texture >= opaqueTextures.size()) opaqueTextures.resize(size_t(texture) + 1, false);
    size_t count = 0;
    opaqueTextures[texture] = sprite->pixels && PixelCount(sprite->width, sprite->height, count) &&
                              AllOpaque(sprite->pixels, count);
}

uint32_t Renderer_OGL10::DeleteTexture(uint32_t id) {
    // A decal may outlive the device (the engine's font goes with the engine, after the run); its
    // texture then went with the context, and GL must not be called without one.
    if (!deviceExists) return id;
    IssueClear();
    const GLuint name = id;
    glDeleteTextures(1, &name);
    if (id < opaqueTextures.size()) opaqueTextures[id] = false;
    return id;
}

void Renderer_OGL10::BindTexture(uint32_t id) {
    IssueClear();
    glBindTexture(GL_TEXTURE_2D, id);
}

void Renderer_OGL10::SetViewport(const Vec2i& position, const Vec2i& size) {
    glViewport(position.x, position.y, size.x, size.y);
}

void Renderer_OGL10::ClearBuffer(Pixel p, bool depth) {
    // A scissor would make the clears partial, and then neither covers the other.
    if (glIsEnabled(GL_SCISSOR_TEST)) IssueClear();
    pendingClear = {true, p, depth || (pendingClear.pending && pendingClear.depth)};
}

void Renderer_OGL10::IssueClear() {
    if (!pendingClear.pending) return;
    pendingClear.pending = false;
    const Pixel p = pendingClear.colour;
    glClearColor(static_cast<float>(p.r) / ChannelMax, static_cast<float>(p.g) / ChannelMax,
                 static_cast<float>(p.b) / ChannelMax, static_cast<float>(p.a) / ChannelMax);
    glClear(GL_COLOR_BUFFER_BIT);
    if (pendingClear.depth) glClear(GL_DEPTH_BUFFER_BIT);
}

bool Renderer_OGL10::ReadFrame(Sprite& frame) {
    if (!deviceExists) return false;
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int32_t width = viewport[2] + 2 * viewport[0], height = viewport[3] + 2 * viewport[1];
    if (width <= 0 || height <= 0) return false;
    if (!frame.Resize(width, height)) return false;
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadBuffer(GL_FRONT);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, frame.pixels);
    glReadBuffer(GL_BACK);
    // GL's rows run from the bottom of the window up; a frame's run from the top down.
    for (int32_t y = 0; y < height / 2; ++y)
        std::swap_ranges(frame.pixels + size_t(y) * size_t(width),
                         frame.pixels + size_t(y + 1) * size_t(width),
                         frame.pixels + size_t(height - 1 - y) * size_t(width));
    return true;
}

} // namespace dral
