// The two back-end contracts the engine drives: Platform (window, events, title, thread hand-over)
// and Renderer (graphics device, textures, quads, presentation), plus the process-wide owners.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/pixel.h"
#include "engine/result.h"
#include "engine/vec2.h"

namespace dral {

class Sprite;
class Tesserine;
struct DecalDraw;

class Renderer {
  public:
    virtual ~Renderer() = default;
    virtual void PrepareDevice() = 0;
    virtual ResultCode CreateDevice(std::vector<void*> params, bool fullScreen, bool vsync) = 0;
    virtual ResultCode DestroyDevice() = 0;
    virtual void PresentFrame() = 0;
    virtual void BeginDrawing() = 0;
    virtual void DrawLayerQuad(const Vec2f& offset, const Vec2f& scale, Pixel tint) = 0;
    virtual void DrawDecalQuad(const DecalDraw& decal) = 0;
    virtual uint32_t CreateTexture(uint32_t width, uint32_t height) = 0;
    virtual void UpdateTexture(uint32_t id, Sprite* sprite) = 0;
    virtual uint32_t DeleteTexture(uint32_t id) = 0;
    virtual void BindTexture(uint32_t id) = 0;
    virtual void SetViewport(const Vec2i& position, const Vec2i& size) = 0;
    virtual void ClearBuffer(Pixel p, bool depth) = 0;

    // Copies the frame last presented (the whole window, top row first) into frame, giving the
    // sprite the frame's size. Renderers that cannot read their frame back (the default) return
    // false and leave the sprite as it was. Called on the engine thread, like every renderer call.
    virtual bool ReadFrame(Sprite& frame) {
        (void)frame;
        return false;
    }
};

class Platform {
  public:
    virtual ~Platform() = default;
    virtual ResultCode StartApplication() = 0;
    virtual ResultCode CleanUpApplication() = 0;
    virtual ResultCode StartThread() = 0;
    virtual ResultCode CleanUpThread() = 0;
    virtual ResultCode CreateGraphics(bool fullScreen, bool vsync, const Vec2i& viewPos,
                                      const Vec2i& viewSize) = 0;
    virtual ResultCode CreateAppWindow(const Vec2i& position, Vec2i& size, bool fullScreen) = 0;
    virtual ResultCode SetWindowTitle(const std::string& title) = 0;
    virtual ResultCode RunEventLoop() = 0;
    virtual ResultCode HandleSystemEvent() = 0;

    // The window system calls the platform without any context; this is how it finds the engine.
    static inline Tesserine* engine = nullptr;
};

inline std::atomic<bool> running{false};
inline std::unique_ptr<Platform> platform;
inline std::unique_ptr<Renderer> renderer;

// Creates the build's default back-end pair; each build links exactly one definition.
void CreateDefaultBackends(std::unique_ptr<Platform>& platformOut,
                           std::unique_ptr<Renderer>& rendererOut);

} // namespace dral
