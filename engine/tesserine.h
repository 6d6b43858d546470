// Tesserine: the engine object an application derives from. It owns the frame loop on its own
// thread, the software draw target with its pixel modes and primitives, the input state, and the
// layers and decals composed on the GPU through the Renderer back-end.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/backend.h"
#include "engine/decal.h"
#include "engine/input.h"
#include "engine/layer.h"
#include "engine/pixel.h"
#include "engine/result.h"
#include "engine/sprite.h"
#include "engine/vec2.h"

namespace dral {

enum PixelMode : int32_t { Normal = 0, Mask = 1, Alpha = 2, Custom = 3 };

struct SpriteFlip {
    enum : uint8_t { None = 0, Horizontal = 1, Vertical = 2 };
};

using CustomPixelFunction =
    std::function<Pixel(int32_t x, int32_t y, const Pixel& source, const Pixel& destination)>;

// A Vec2i written by the event thread and read by the engine thread: each component is a relaxed
// atomic, so a reader may see x from one update and y from the next, but never a torn integer.
class SharedVec2i {
  public:
    SharedVec2i() = default;
    SharedVec2i(const SharedVec2i&) = delete;
    Vec2i Load() const {
        return {x.load(std::memory_order_relaxed), y.load(std::memory_order_relaxed)};
    }
    void Store(const Vec2i& v) {
        x.store(v.x, std::memory_order_relaxed);
        y.store(v.y, std::memory_order_relaxed);
    }

  private:
    std::atomic<int32_t> x{0};
    std::atomic<int32_t> y{0};
};

class Tesserine {
  public:
    Tesserine();
    virtual ~Tesserine();
    Tesserine(const Tesserine&) = delete;
    Tesserine& operator=(const Tesserine&) = delete;

    virtual bool OnCreate() { return false; }
    virtual bool OnUpdate(float elapsedSeconds);
    virtual bool OnDestroy() { return true; }
    virtual bool Draw(int32_t x, int32_t y, Pixel p);

    // Lifecycle.
    void CreateBackends();
    // Replaces the process-wide back-end pair, for example with the headless one. Call it
    // before Run.
    void UseBackends(std::unique_ptr<Platform> newPlatform, std::unique_ptr<Renderer> newRenderer);
    ResultCode Setup(int32_t screenWidth, int32_t screenHeight, int32_t pixelWidth,
                     int32_t pixelHeight, bool fullScreen = false, bool vsync = false);
    ResultCode Run();
    void EngineLoop();
    ResultCode PrepareEngine();
    void RunFrame();
    // One frame in which elapsedSeconds of time are taken to have passed; RunFrame measures the
    // clock and calls this. Tests and replays drive frames with fixed times through it.
    void RunFrameFor(float elapsedSeconds);
    void RequestStop();
    void UpdateWindowSize(int32_t width, int32_t height);
    void UpdateViewport();
    void SetScreenSize(int32_t width, int32_t height);
    void ClearBuffer(Pixel p, bool depth);

    // Accessors.
    int32_t ScreenWidth() const { return screenSize.x; }
    int32_t ScreenHeight() const { return screenSize.y; }
    uint32_t GetFps() const { return lastFps; }
    Sprite* GetDrawTarget() const { return drawTarget; }
    int32_t GetDrawTargetWidth() const { return drawTarget ? drawTarget->width : 0; }
    int32_t GetDrawTargetHeight() const { return drawTarget ? drawTarget->height : 0; }
    std::vector<Layer>& GetLayers() { return layers; }
    Vec2i GetWindowSize() const { return windowSize.Load(); }
    Vec2i GetViewPos() const { return viewPos.Load(); }
    Vec2i GetViewSize() const { return viewSize.Load(); }

    // Input updates, called by the platform's event handling on the main thread.
    void UpdateKeyState(int32_t key, bool down);
    void UpdateMouseState(int32_t button, bool down);
    void UpdateMouse(int32_t x, int32_t y);
    void UpdateMouseWheel(int32_t delta);
    void UpdateKeyFocus(bool focused);

    // Input queries, for the application.
    ButtonState KeyState(Key k) const;
    ButtonState MouseButtonState(uint32_t b) const;
    int32_t MouseX() const { return mousePos.x; }
    int32_t MouseY() const { return mousePos.y; }
    int32_t MouseWheel() const { return mouseWheelDelta; }
    bool IsFocused() const { return hasInputFocus.load(std::memory_order_relaxed); }

    // Pixel modes.
    bool Draw(const Vec2i& pos, Pixel p) { return Draw(pos.x, pos.y, p); }
    void SetPixelMode(PixelMode mode) { pixelMode = mode; }
    void SetPixelMode(CustomPixelFunction function);
    PixelMode GetPixelMode() const { return pixelMode; }
    void SetBlendFactor(float factor);

    // Primitives.
    void Clear(Pixel p);
    void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, Pixel p,
                  uint32_t pattern = 0xFFFFFFFF);
    void DrawLine(const Vec2i& pos1, const Vec2i& pos2, Pixel p, uint32_t pattern = 0xFFFFFFFF);
    void DrawCircle(int32_t x, int32_t y, int32_t radius, Pixel p, uint8_t mask = 0xFF);
    void DrawCircle(const Vec2i& pos, int32_t radius, Pixel p, uint8_t mask = 0xFF);
    void FillCircle(int32_t x, int32_t y, int32_t radius, Pixel p);
    void FillCircle(const Vec2i& pos, int32_t radius, Pixel p);
    void DrawRect(int32_t x, int32_t y, int32_t w, int32_t h, Pixel p);
    void DrawRect(const Vec2i& pos, const Vec2i& size, Pixel p);
    void FillRect(int32_t x, int32_t y, int32_t w, int32_t h, Pixel p);
    void FillRect(const Vec2i& pos, const Vec2i& size, Pixel p);
    void DrawTriangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3,
                      Pixel p);
    void DrawTriangle(const Vec2i& pos1, const Vec2i& pos2, const Vec2i& pos3, Pixel p);
    void FillTriangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3,
                      Pixel p);
    void FillTriangle(const Vec2i& pos1, const Vec2i& pos2, const Vec2i& pos3, Pixel p);

    // Blits and text.
    void DrawSprite(int32_t x, int32_t y, Sprite* sprite, uint32_t scale = 1,
                    uint8_t flip = SpriteFlip::None);
    void DrawSprite(const Vec2i& pos, Sprite* sprite, uint32_t scale = 1,
                    uint8_t flip = SpriteFlip::None);
    void DrawSpriteRegion(int32_t x, int32_t y, Sprite* sprite, int32_t ox, int32_t oy, int32_t w,
                          int32_t h, uint32_t scale = 1, uint8_t flip = SpriteFlip::None);
    void DrawSpriteRegion(const Vec2i& pos, Sprite* sprite, const Vec2i& sourcePos,
                          const Vec2i& sourceSize, uint32_t scale = 1,
                          uint8_t flip = SpriteFlip::None);
    void DrawString(int32_t x, int32_t y, const std::string& text, Pixel colour = White,
                    uint32_t scale = 1);
    void DrawString(const Vec2i& pos, const std::string& text, Pixel colour = White,
                    uint32_t scale = 1);
    void BuildFontSheet();

    // Layers.
    uint32_t CreateLayer();
    void EnableLayer(uint8_t layer, bool shown);
    void SetLayerOffset(uint8_t layer, const Vec2f& offset);
    void SetLayerOffset(uint8_t layer, float x, float y);
    void SetLayerScale(uint8_t layer, const Vec2f& scale);
    void SetLayerScale(uint8_t layer, float x, float y);
    void SetLayerTint(uint8_t layer, const Pixel& tint);
    void SetLayerRenderHook(uint8_t layer, std::function<void()> hook);
    void SetDrawTarget(uint8_t layer);
    void SetDrawTarget(Sprite* target);

    // Decals, queued on the target layer and drawn right after its quad.
    void DrawDecal(const Vec2f& pos, Decal* decal, const Vec2f& scale = {1.0f, 1.0f},
                   const Pixel& tint = White);
    void DrawDecalRegion(const Vec2f& pos, Decal* decal, const Vec2f& sourcePos,
                         const Vec2f& sourceSize, const Vec2f& scale = {1.0f, 1.0f},
                         const Pixel& tint = White);
    void DrawDecalRotated(const Vec2f& pos, Decal* decal, float angle,
                          const Vec2f& center = {0.0f, 0.0f}, const Vec2f& scale = {1.0f, 1.0f},
                          const Pixel& tint = White);
    void DrawDecalRegionRotated(const Vec2f& pos, Decal* decal, float angle, const Vec2f& center,
                                const Vec2f& sourcePos, const Vec2f& sourceSize,
                                const Vec2f& scale = {1.0f, 1.0f}, const Pixel& tint = White);
    void DrawDecalWarped(Decal* decal, const Vec2f corners[4], const Pixel& tint = White);
    void DrawDecalWarped(Decal* decal, const std::array<Vec2f, 4>& corners,
                         const Pixel& tint = White);
    void DrawDecalRegionWarped(Decal* decal, const Vec2f corners[4], const Vec2f& sourcePos,
                               const Vec2f& sourceSize, const Pixel& tint = White);
    void DrawDecalRegionWarped(Decal* decal, const std::array<Vec2f, 4>& corners,
                               const Vec2f& sourcePos, const Vec2f& sourceSize,
                               const Pixel& tint = White);
    void DrawStringDecals(const Vec2f& pos, const std::string& text, Pixel colour = White,
                          const Vec2f& scale = {1.0f, 1.0f});

  protected:
    using Clock = std::chrono::steady_clock;

    std::string appName = "Undefined";
    Sprite* drawTarget = nullptr;
    PixelMode pixelMode = Normal;
    float blendFactor = 1.0f;
    Vec2i screenSize{256, 240};
    Vec2f invScreenSize{1.0f / 256.0f, 1.0f / 240.0f};
    Vec2i pixelSize{4, 4};
    Vec2i mousePos{0, 0};
    int32_t mouseWheelDelta = 0;
    SharedVec2i mousePosCache;
    std::atomic<int32_t> mouseWheelDeltaCache{0};
    SharedVec2i windowSize;
    SharedVec2i viewPos;
    SharedVec2i viewSize;
    bool fullScreen = false;
    std::atomic<bool> hasInputFocus{false};
    bool vsync = false;
    float frameTimer = 1.0f;
    int32_t frameCount = 0;
    Sprite* fontSprite = nullptr;
    Decal* fontDecal = nullptr;
    std::vector<Layer> layers;
    uint8_t targetLayer = 0;
    uint32_t lastFps = 0;
    CustomPixelFunction customPixelFunc;
    Clock::time_point lastFrameTime{};
    Clock::time_point thisFrameTime{};
    std::atomic<bool> keyNewState[KeyCount] = {};
    bool keyOldState[KeyCount] = {};
    ButtonState keyboardState[KeyCount] = {};
    std::atomic<bool> mouseNewState[MouseButtonCount] = {};
    bool mouseOldState[MouseButtonCount] = {};
    ButtonState mouseState[MouseButtonCount] = {};

  private:
    void LatchInput();
    void ComposeLayers();
    void QueueDecalDraw(const DecalDraw& draw);
    void QueueWarped(DecalDraw& draw, const Vec2f corners[4]);
    void QueueRect(DecalDraw& draw, const Vec2f& pos, const Vec2f& size, const Vec2f& scale);
    Vec2f ToDeviceCoords(const Vec2f& p) const;
    void UpdateTitle();

    std::string titleText;
};

} // namespace dral
