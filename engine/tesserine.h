// Tesserine: the engine object an application derives from. It owns the frame loop on its own
// thread, the software draw target with its pixel modes and primitives, the input state, and the
// layers and decals composed on the GPU through the Renderer back-end.
// Needs: the standard library and the engine's own headers; the window system and the graphics
// device are reached only through the back-ends (engine/backend.h), sound through the audio
// device (engine/audio_device.h).
//
// Contents: each group of the API and the file that implements it.
//   Lifecycle, frame loop, title, viewport ..... engine/tesserine.cpp (title banner too)
//   Input: updates and queries .................. engine/input.cpp (keys and states: input.h)
//   Pixel modes and primitives .................. engine/draw.cpp
//   Sprite blits ................................ engine/blit.cpp
//   Text and the built-in font .................. engine/font.cpp
//   Layers and their composition ................ engine/layers.cpp (the record: layer.h)
//   Decals ...................................... engine/decal.cpp (the types: decal.h)
//   Colours and vectors ......................... engine/pixel.h, pixel.cpp, vec2.h
//   Shape overlaps, text measuring .............. engine/shapes.h, engine/text.h, text.cpp
//   Sprites ..................................... engine/sprite.h, sprite.cpp
//   Sprite files and image files ................ assets/sprite_file.cpp, assets/image.cpp
//   Resource packs .............................. assets/resource_pack.h, resource_pack.cpp
//   Back-end contracts .......................... engine/backend.h
//   Choosing the renderer, the fallback ......... engine/renderer_choice.cpp
//   Drivers: frame observer, raw input .......... engine/input.cpp (frame_observer.h)
//   (Record and replay is a component of its own: record/recorder.h.)
//   Sound ....................................... engine/audio.h, audio.cpp, audio_sound.cpp
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/audio.h"
#include "engine/backend.h"
#include "engine/decal.h"
#include "engine/frame_observer.h"
#include "engine/input.h"
#include "engine/layer.h"
#include "engine/pixel.h"
#include "engine/result.h"
#include "engine/sprite.h"
#include "engine/vec2.h"

// Game-author helpers: shape overlap tests and text measuring.
#include "engine/shapes.h"
#include "engine/text.h"

/// Tesserine, the engine: the engine class, its value types and the back-end contracts.
namespace dral {

/// How Draw combines a pixel with the draw target: Normal copies it; Mask copies only pixels
/// whose alpha is 255; Alpha blends by alpha times the blend factor; Custom calls the function
/// given to SetPixelMode.
enum PixelMode : int32_t { Normal = 0, Mask = 1, Alpha = 2, Custom = 3 };

/// Mirroring flags of the sprite blits, combined with `|`: Horizontal swaps left and right,
/// Vertical top and bottom.
struct SpriteFlip {
    enum : uint8_t { None = 0, Horizontal = 1, Vertical = 2 };
};

/// The combining function of the Custom pixel mode: gets the target position, the pixel being
/// drawn and the one already there, and returns the pixel to store. Runs on the engine thread.
using CustomPixelFunction =
    std::function<Pixel(int32_t x, int32_t y, const Pixel& source, const Pixel& destination)>;

/// A Vec2i written by the event thread and read by the engine thread: each component is a relaxed
/// atomic, so a reader may see x from one update and y from the next, but never a torn integer.
class SharedVec2i {
  public:
    SharedVec2i() = default;
    /// Starts at (initialX, initialY).
    SharedVec2i(int32_t initialX, int32_t initialY) : x(initialX), y(initialY) {}
    SharedVec2i(const SharedVec2i&) = delete;
    /// The current value; any thread.
    Vec2i Load() const {
        return {x.load(std::memory_order_relaxed), y.load(std::memory_order_relaxed)};
    }
    /// Replaces the value; any thread.
    void Store(const Vec2i& v) {
        x.store(v.x, std::memory_order_relaxed);
        y.store(v.y, std::memory_order_relaxed);
    }

  private:
    std::atomic<int32_t> x{0};
    std::atomic<int32_t> y{0};
};

/// The most layers an engine holds, the base layer included: every index fits the uint8_t of
/// SetDrawTarget and the other layer functions.
inline constexpr uint32_t MaxLayers = 256;
/// What CreateLayer returns when MaxLayers layers exist already.
inline constexpr uint32_t NoLayer = 0xFFFFFFFF;

/// The engine an application derives from. Override OnCreate and OnUpdate (and OnDestroy if
/// needed), set appName in the constructor, then call Setup and Run on the main thread. Unless a
/// function says otherwise it belongs on the engine thread: call it from OnCreate, OnUpdate or
/// OnDestroy. Coordinates of software drawing are draw-target pixels, x right and y down from the
/// top-left; decal positions are engine pixels as floats.
class Tesserine {
  public:
    /// Sets every field to its initial value and creates the build's default back-ends
    /// (CreateBackends). Construct the one engine object on the main thread.
    Tesserine();
    /// Deletes the layers' images, the font sheet and its decal. The process-wide back-ends stay
    /// until the process ends.
    virtual ~Tesserine();
    Tesserine(const Tesserine&) = delete;
    Tesserine& operator=(const Tesserine&) = delete;

    /// Called once on the engine thread after the device, the font and the base layer exist. Load
    /// assets here. Return false to end the run before the first frame (OnDestroy is not called).
    /// The default returns false.
    virtual bool OnCreate() { return false; }
    /// Called once per frame on the engine thread with the seconds since the previous frame;
    /// read input and draw here. Return false to end the run after this frame. The default
    /// returns false.
    virtual bool OnUpdate(float elapsedSeconds);
    /// Called on the engine thread when the run is ending, while the device still exists: release
    /// decals here. Return false to cancel the stop and keep producing frames. Default: true.
    virtual bool OnDestroy() { return true; }
    /// Plots one pixel into the draw target through the pixel mode; every primitive ends here.
    /// Returns false when (x, y) is off the target or nothing was written. Engine thread.
    virtual bool Draw(int32_t x, int32_t y, Pixel p);

    // Lifecycle.
    /// Creates the build's default Platform and Renderer into dral::platform and dral::renderer
    /// and points Platform::engine here. The constructor calls it.
    void CreateBackends();
    /// Replaces the process-wide back-end pair, for example with the headless one, taking
    /// ownership of both. Call it before Run, on the main thread.
    void UseBackends(std::unique_ptr<Platform> newPlatform, std::unique_ptr<Renderer> newRenderer);
    /// Sets the screen to screenWidth × screenHeight engine pixels, each pixelWidth × pixelHeight
    /// window pixels, and the window mode. Fail for a size that is not positive, or a window
    /// (screen × pixel size) wider or taller than int32 pixels. Main thread.
    ResultCode Setup(int32_t screenWidth, int32_t screenHeight, int32_t pixelWidth,
                     int32_t pixelHeight, bool fullScreen = false, bool vsync = false);
    /// Opens the window, runs the engine thread and the event loop, and returns once the window has
    /// closed: Ok, or Fail when the window could not be made. An engine runs once: after a run
    /// that opened its window, hand-driven or not, Run returns Fail without doing anything. Main
    /// thread. In a build without threads (the browser's default page) there is no engine thread:
    /// Run starts a hand-driven run (StartManualRun) and hands it to the platform's event loop,
    /// which drives its frames and may never return.
    ResultCode Run();
    /// Body of the engine thread that Run starts: set-up, OnCreate, frames while running, OnDestroy
    /// and clean-up. Not for applications.
    void EngineLoop();
    /// Starts a run whose frames the caller drives, on the calling thread, instead of Run: opens
    /// the window and sets its viewport, makes the device, the font and the base layer, and calls
    /// OnCreate, as Run does, on any back-end pair. Then call RunFrameFor (or RunFrame) per frame
    /// and EndManualRun. Fail, with everything cleaned up, when the window or device cannot be
    /// made or OnCreate returns false; Fail without doing anything after a run. Main thread.
    ResultCode StartManualRun();
    /// Ends the run StartManualRun started, as Run ends one: OnDestroy, then the frame observer's
    /// RunEnding and the clean-up of the thread and the application. Fail when no such run is
    /// going on, or when OnDestroy refused: the run then goes on (frames may follow) and a later
    /// EndManualRun asks again. Same thread as StartManualRun.
    ResultCode EndManualRun();
    /// Ends the run StartManualRun started without asking OnDestroy, for a driver that cannot go
    /// on (a replay whose recording ends before its run stopped): the frame observer's RunEnding,
    /// then the clean-up of the thread and the application. Fail when no such run is going on, or
    /// when the application's clean-up fails. Same thread as StartManualRun.
    ResultCode AbortManualRun();
    /// First step of the engine thread: creates the device, the font and the base layer, and
    /// selects the base layer as draw target. Fail when the device cannot be made. Engine thread.
    ResultCode PrepareEngine();
    /// Runs one frame with the time measured since the previous one. Engine thread.
    void RunFrame();
    /// One frame in which elapsedSeconds of time are taken to have passed; RunFrame measures the
    /// clock and calls this. Tests and hand-driven runs (a replay) give fixed times through it.
    void RunFrameFor(float elapsedSeconds);
    /// Asks the engine thread to end the run after its current frame (OnDestroy may refuse). Any
    /// thread; the platform calls it when the user closes the window.
    void RequestStop();
    /// Records the window's new drawing-area size in window pixels and recomputes the letterboxed
    /// viewport. Called by the platform on the main thread.
    void UpdateWindowSize(int32_t width, int32_t height);
    /// Recomputes the viewport: the largest rectangle of the screen's shape inside the window,
    /// centred, with black bars around it. Any thread; UpdateWindowSize calls it.
    void UpdateViewport();
    /// Changes the screen to width × height engine pixels after start-up: every layer gets a new
    /// cleared image of that size. False, with the screen left as it was, for a size Setup would
    /// refuse or images that cannot be allocated. Engine thread.
    bool SetScreenSize(int32_t width, int32_t height);
    /// Clears the renderer's whole colour buffer (and the depth buffer when `depth`) to `p`; for
    /// render hooks. Engine thread.
    void ClearBuffer(Pixel p, bool depth);
    /// Saves the frame last presented as an opaque PNG file, the picture as the window shows it.
    /// Fail when the renderer cannot read its frame back (the headless one), before the first
    /// frame, or when the file cannot be written. Call it on the engine thread (in OnUpdate, or
    /// between RunFrameFor calls); from OnUpdate it saves the previous frame.
    ResultCode SaveFrame(const std::string& pngFile);

    // Accessors.
    /// The screen's width in engine pixels. Any thread.
    int32_t ScreenWidth() const { return screenSize.Load().x; }
    /// The screen's height in engine pixels. Any thread.
    int32_t ScreenHeight() const { return screenSize.Load().y; }
    /// Frames counted in the last completed second. Engine thread.
    uint32_t GetFps() const { return lastFps; }
    /// The sprite that drawing writes into (not owned by the caller), or null before start-up.
    Sprite* GetDrawTarget() const { return drawTarget; }
    /// The draw target's width in pixels, 0 when there is none. Engine thread.
    int32_t GetDrawTargetWidth() const { return drawTarget ? drawTarget->width : 0; }
    /// The draw target's height in pixels, 0 when there is none. Engine thread.
    int32_t GetDrawTargetHeight() const { return drawTarget ? drawTarget->height : 0; }
    /// The layer list, index 0 the base layer; the engine owns it. Engine thread, and do not add
    /// or remove entries (use CreateLayer).
    std::vector<Layer>& GetLayers() { return layers; }
    /// The window's drawing area in window pixels. Any thread.
    Vec2i GetWindowSize() const { return windowSize.Load(); }
    /// Top-left corner of the viewport inside the window, window pixels. Any thread.
    Vec2i GetViewPos() const { return viewPos.Load(); }
    /// Size of the viewport inside the window, window pixels. Any thread.
    Vec2i GetViewSize() const { return viewSize.Load(); }

    // Input updates, called by the platform's event handling on the main thread.
    /// Reports that key (a Key value, 0–255) went down or up; the next frame latches it. Called
    /// by the platform; any thread. Out-of-range keys are ignored.
    void UpdateKeyState(int32_t key, bool down);
    /// Reports that mouse button 0–4 (left, right, middle, ...) went down or up; the next frame
    /// latches it. Called by the platform; any thread. Other buttons are ignored.
    void UpdateMouseState(int32_t button, bool down);
    /// Reports the mouse at (x, y) window pixels; it is mapped through the viewport to engine
    /// pixels and kept on the screen. Called by the platform; any thread.
    void UpdateMouse(int32_t x, int32_t y);
    /// Adds `delta` (120 per notch, positive away from the user) to the wheel movement of the next
    /// frame. Called by the platform; any thread.
    void UpdateMouseWheel(int32_t delta);
    /// Adds whole wheel notches (positive away from the user), WheelNotch each, to the wheel
    /// movement of the next frame; for window systems that count notches. Any thread.
    void UpdateMouseWheelNotches(int32_t notches);
    /// Reports whether the window has the keyboard focus. Losing it releases every key and mouse
    /// button, as their releases go to another window. Called by the platform; any thread.
    void UpdateKeyFocus(bool focused);

    // Input queries, for the application.
    /// The key's state in this frame: pressed or released in this frame, held while down. A key
    /// pressed and released between two frames shows pressed and held in the next frame and
    /// released in the one after. Engine thread.
    ButtonState KeyState(Key k) const;
    /// Mouse button b's state in this frame (0 left, 1 right, 2 middle); all false for b > 4. A
    /// click between two frames is kept as KeyState keeps a key's. Engine thread.
    ButtonState MouseButtonState(uint32_t b) const;
    /// The mouse's x in engine pixels for this frame, within the screen. Engine thread.
    int32_t MouseX() const { return mousePos.x; }
    /// The mouse's y in engine pixels for this frame, within the screen. Engine thread.
    int32_t MouseY() const { return mousePos.y; }
    /// The wheel movement since the previous frame, 120 per notch. Engine thread.
    int32_t MouseWheel() const { return mouseWheelDelta; }
    /// True while the window has the keyboard focus. Any thread.
    bool IsFocused() const { return hasInputFocus.load(std::memory_order_relaxed); }

    // Pixel modes.
    /// Draw at `pos`. Engine thread.
    bool Draw(const Vec2i& pos, Pixel p) { return Draw(pos.x, pos.y, p); }
    /// Selects how Draw combines pixels from now on. Engine thread.
    void SetPixelMode(PixelMode mode) { pixelMode = mode; }
    /// Selects the Custom mode with `function` (copied) as its combining function. Engine thread.
    void SetPixelMode(CustomPixelFunction function);
    /// The current pixel mode. Engine thread.
    PixelMode GetPixelMode() const { return pixelMode; }
    /// Sets the Alpha mode's global factor, clamped to 0–1 (NaN gives 0). Engine thread.
    void SetBlendFactor(float factor);
    /// True when this object's Draw is the engine's own: the primitives then write the target
    /// directly in the Normal, Mask and Alpha modes, leaving the same pixels. False when Draw is
    /// overridden, or where the compiler gives no way to tell; then every pixel goes through Draw.
    bool UsesEngineDraw() const { return engineDraw && ResolvedDraw() == engineDraw; }

    // Primitives.
    /// Fills the whole draw target with `p`, ignoring the pixel mode. Engine thread.
    void Clear(Pixel p);
    /// Draws a line from (x1, y1) to (x2, y2), both ends included. Each pixel takes the next bit of
    /// `pattern` from bit 31 on, drawn only where it is 1, for dashed lines. Engine thread.
    void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, Pixel p,
                  uint32_t pattern = 0xFFFFFFFF);
    /// DrawLine between two points. Engine thread.
    void DrawLine(const Vec2i& pos1, const Vec2i& pos2, Pixel p, uint32_t pattern = 0xFFFFFFFF);
    /// Draws the outline of a circle of `radius` pixels around (x, y). Each bit of `mask` enables
    /// one eighth of it, clockwise from the top. Engine thread.
    void DrawCircle(int32_t x, int32_t y, int32_t radius, Pixel p, uint8_t mask = 0xFF);
    /// DrawCircle around `pos`. Engine thread.
    void DrawCircle(const Vec2i& pos, int32_t radius, Pixel p, uint8_t mask = 0xFF);
    /// Fills a circle of `radius` pixels around (x, y). Engine thread.
    void FillCircle(int32_t x, int32_t y, int32_t radius, Pixel p);
    /// FillCircle around `pos`. Engine thread.
    void FillCircle(const Vec2i& pos, int32_t radius, Pixel p);
    /// Draws a rectangle's outline from (x, y) to (x + w, y + h) inclusive, so it covers
    /// (w + 1) × (h + 1) pixels. Engine thread.
    void DrawRect(int32_t x, int32_t y, int32_t w, int32_t h, Pixel p);
    /// DrawRect at `pos` with `size`. Engine thread.
    void DrawRect(const Vec2i& pos, const Vec2i& size, Pixel p);
    /// Fills the w × h pixels from (x, y), clipped to the target. Engine thread.
    void FillRect(int32_t x, int32_t y, int32_t w, int32_t h, Pixel p);
    /// FillRect at `pos` with `size`. Engine thread.
    void FillRect(const Vec2i& pos, const Vec2i& size, Pixel p);
    /// Draws the outline of a triangle through three points. Engine thread.
    void DrawTriangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3,
                      Pixel p);
    /// DrawTriangle through three points. Engine thread.
    void DrawTriangle(const Vec2i& pos1, const Vec2i& pos2, const Vec2i& pos3, Pixel p);
    /// Fills a triangle through three points. Engine thread.
    void FillTriangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3,
                      Pixel p);
    /// FillTriangle through three points. Engine thread.
    void FillTriangle(const Vec2i& pos1, const Vec2i& pos2, const Vec2i& pos3, Pixel p);

    // Blits and text.
    /// Copies `sprite` (borrowed; null draws nothing) to (x, y) through the pixel mode, each
    /// pixel enlarged to scale × scale, mirrored by `flip` (SpriteFlip flags). Engine thread.
    void DrawSprite(int32_t x, int32_t y, Sprite* sprite, uint32_t scale = 1,
                    uint8_t flip = SpriteFlip::None);
    /// DrawSprite at `pos`. Engine thread.
    void DrawSprite(const Vec2i& pos, Sprite* sprite, uint32_t scale = 1,
                    uint8_t flip = SpriteFlip::None);
    /// Like DrawSprite, for the w × h region of `sprite` at (ox, oy), in sprite pixels: one frame
    /// of a sheet. Engine thread.
    void DrawSpriteRegion(int32_t x, int32_t y, Sprite* sprite, int32_t ox, int32_t oy, int32_t w,
                          int32_t h, uint32_t scale = 1, uint8_t flip = SpriteFlip::None);
    /// DrawSpriteRegion with vectors. Engine thread.
    void DrawSpriteRegion(const Vec2i& pos, Sprite* sprite, const Vec2i& sourcePos,
                          const Vec2i& sourceSize, uint32_t scale = 1,
                          uint8_t flip = SpriteFlip::None);
    /// Writes `text` with the built-in 8 × 8 font from (x, y), each font pixel scale × scale;
    /// '\n' starts a new line. Engine thread.
    void DrawString(int32_t x, int32_t y, const std::string& text, Pixel colour = White,
                    uint32_t scale = 1);
    /// DrawString at `pos`. Engine thread.
    void DrawString(const Vec2i& pos, const std::string& text, Pixel colour = White,
                    uint32_t scale = 1);
    /// Builds the built-in font's sprite and decal; start-up does it once. Engine thread, after the
    /// device exists.
    void BuildFontSheet();

    // Layers.
    /// Adds a hidden layer of the screen's size, with its own image and texture, and returns its
    /// index. Higher indices lie further back. The engine owns it. At most MaxLayers layers,
    /// the base layer included, exist, as the layer functions take a uint8_t index: beyond that
    /// nothing is created and NoLayer is returned. Engine thread.
    uint32_t CreateLayer();
    /// Shows or hides a layer; unknown indices are ignored. The base layer is always shown.
    /// Engine thread.
    void EnableLayer(uint8_t layer, bool shown);
    /// Shifts a layer's picture by `offset` in texture units (1.0 = the whole screen; the picture
    /// wraps). Engine thread.
    void SetLayerOffset(uint8_t layer, const Vec2f& offset);
    /// SetLayerOffset with two floats. Engine thread.
    void SetLayerOffset(uint8_t layer, float x, float y);
    /// Sets how much of a layer's picture fills the viewport: below 1 zooms in, above 1 repeats
    /// it. Engine thread.
    void SetLayerScale(uint8_t layer, const Vec2f& scale);
    /// SetLayerScale with two floats. Engine thread.
    void SetLayerScale(uint8_t layer, float x, float y);
    /// Multiplies every pixel of a layer by `tint` when composed (White leaves it). Engine thread.
    void SetLayerTint(uint8_t layer, const Pixel& tint);
    /// Replaces the engine's drawing of a layer with `hook` (stored; empty restores the default).
    /// It runs on the engine thread during composition and may call dral::renderer directly.
    void SetLayerRenderHook(uint8_t layer, std::function<void()> hook);
    /// Makes drawing write into a layer's image and marks it for upload; unknown indices are
    /// ignored. Engine thread.
    void SetDrawTarget(uint8_t layer);
    /// Makes drawing write into `target`, which stays the caller's and must outlive its use;
    /// null selects the base layer. Engine thread.
    void SetDrawTarget(Sprite* target);

    // Decals, queued on the target layer and drawn right after its quad. A queued draw only
    // borrows its decal, until the end of the frame.
    /// Queues `decal` with its top-left at `pos` (engine pixels, fractions allowed), scaled by
    /// `scale` and multiplied by `tint`. Null or empty decals are skipped. Engine thread.
    void DrawDecal(const Vec2f& pos, Decal* decal, const Vec2f& scale = {1.0f, 1.0f},
                   const Pixel& tint = White);
    /// Like DrawDecal, for the region of the decal's sprite at `sourcePos` of `sourceSize`, in
    /// sprite pixels. Engine thread.
    void DrawDecalRegion(const Vec2f& pos, Decal* decal, const Vec2f& sourcePos,
                         const Vec2f& sourceSize, const Vec2f& scale = {1.0f, 1.0f},
                         const Pixel& tint = White);
    /// Queues `decal` rotated by `angle` radians (clockwise on screen) about `center`, in sprite
    /// pixels, which lands on `pos`. Engine thread.
    void DrawDecalRotated(const Vec2f& pos, Decal* decal, float angle,
                          const Vec2f& center = {0.0f, 0.0f}, const Vec2f& scale = {1.0f, 1.0f},
                          const Pixel& tint = White);
    /// DrawDecalRotated for a region of the decal's sprite (sprite pixels). Engine thread.
    void DrawDecalRegionRotated(const Vec2f& pos, Decal* decal, float angle, const Vec2f& center,
                                const Vec2f& sourcePos, const Vec2f& sourceSize,
                                const Vec2f& scale = {1.0f, 1.0f}, const Pixel& tint = White);
    /// Queues `decal` stretched onto four corners in engine pixels (the sprite's top-left,
    /// bottom-left, bottom-right, top-right) with perspective-correct texturing. Engine thread.
    void DrawDecalWarped(Decal* decal, const Vec2f corners[4], const Pixel& tint = White);
    /// DrawDecalWarped with an array of corners. Engine thread.
    void DrawDecalWarped(Decal* decal, const std::array<Vec2f, 4>& corners,
                         const Pixel& tint = White);
    /// DrawDecalWarped for a region of the decal's sprite (sprite pixels). Engine thread.
    void DrawDecalRegionWarped(Decal* decal, const Vec2f corners[4], const Vec2f& sourcePos,
                               const Vec2f& sourceSize, const Pixel& tint = White);
    /// DrawDecalRegionWarped with an array of corners. Engine thread.
    void DrawDecalRegionWarped(Decal* decal, const std::array<Vec2f, 4>& corners,
                               const Vec2f& sourcePos, const Vec2f& sourceSize,
                               const Pixel& tint = White);
    /// Queues `text` as decals of the built-in font from `pos` (engine pixels), each glyph scaled
    /// by `scale`; '\n' starts a new line. Engine thread.
    void DrawStringDecals(const Vec2f& pos, const std::string& text, Pixel colour = White,
                          const Vec2f& scale = {1.0f, 1.0f});

    // Drivers: programs that follow or feed a run frame by frame, such as the recorder in record/
    // (engine/input.cpp). Call these while no frames run (before Run, after it returns) or on the
    // thread that runs the frames (in OnCreate, OnUpdate, OnDestroy, or between RunFrameFor calls).

    /// Makes `observer` (not owned; null for none) the one FrameObserver told of every following
    /// frame's latch, of stops and of the run's end, in place of any before it.
    void SetFrameObserver(FrameObserver* observer) { frameObserver = observer; }
    /// The frame observer, or null.
    FrameObserver* GetFrameObserver() const { return frameObserver; }
    /// Exactly the raw input this frame's latch read (before the first frame: the input as it
    /// stands, with nothing latched yet), the live focus and window size, and the frame's text.
    RawInput LatchedInput() const;
    /// Reports a whole frame's raw input at once, where the platform's updates would have left it
    /// for the next latch: every key, button, pad and axis as given (a trigger's button too,
    /// which UpdatePadAxis would derive), the mouse in engine pixels, the wheel and the focus as
    /// they are (no keys let go), and the text; the window too when `windowResized`. For drivers
    /// that replay input; the platform must deliver none of its own meanwhile.
    void FeedInput(const RawInput& input, bool windowResized);
    /// Makes the keys, mouse buttons, pad connections and pad buttons down in `held` count as
    /// latched by an earlier frame, so that the next frame shows them held, not pressed; for a
    /// driver that resumes a run part-way. Before that frame.
    void HoldInput(const RawInput& held);
    /// One engine pixel's size in window pixels, as Setup set it.
    Vec2i GetPixelSize() const { return pixelSize; }

    // Conveniences for game authors: the title banner.

    /// Replaces the text the window title starts with, before the application's name and the
    /// frame rate: "Arcade - " gives "Arcade - <appName> - FPS: n", and "" puts the name first.
    /// The default is the engine's own banner. Call it before Run, or on the engine thread.
    void SetTitleBanner(const std::string& banner) { titleBanner = banner; }
    /// The text the window title starts with.
    const std::string& GetTitleBanner() const { return titleBanner; }

  protected:
    /// The clock of the frame times: monotonic, so a changed wall clock cannot turn time back.
    using Clock = std::chrono::steady_clock;

    /// The application's name, shown in the window title; set it in the constructor.
    std::string appName = "Undefined";
    /// Where drawing writes (not owned): the target layer's image or the application's sprite.
    Sprite* drawTarget = nullptr;
    /// How Draw combines pixels (SetPixelMode).
    PixelMode pixelMode = Normal;
    /// Global factor of the Alpha pixel mode, 0–1 (SetBlendFactor).
    float blendFactor = 1.0f;
    /// The screen's size in engine pixels; shared, as the event thread maps the mouse and the
    /// viewport through it.
    SharedVec2i screenSize{256, 240};
    /// 1 / screenSize per component; places decals in device coordinates.
    Vec2f invScreenSize{1.0f / 256.0f, 1.0f / 240.0f};
    /// One engine pixel's size in window pixels.
    Vec2i pixelSize{4, 4};
    /// The mouse in engine pixels for this frame.
    Vec2i mousePos{0, 0};
    /// Wheel movement for this frame, 120 per notch.
    int32_t mouseWheelDelta = 0;
    /// The latest mouse position from the platform, engine pixels; latched each frame.
    SharedVec2i mousePosCache;
    /// Wheel movement reported since the last frame.
    std::atomic<int32_t> mouseWheelDeltaCache{0};
    /// The window's drawing area in window pixels, written by the platform's thread.
    SharedVec2i windowSize;
    /// Top-left of the letterboxed viewport inside the window, window pixels.
    SharedVec2i viewPos;
    /// Size of the letterboxed viewport, window pixels.
    SharedVec2i viewSize;
    /// Full screen requested by Setup.
    bool fullScreen = false;
    /// True while the window has the keyboard focus.
    std::atomic<bool> hasInputFocus{false};
    /// Vertical synchronisation requested by Setup.
    bool vsync = false;
    /// Seconds accumulated toward the next title update.
    float frameTimer = 1.0f;
    /// Frames counted since the last title update.
    int32_t frameCount = 0;
    /// The built-in font sheet, made at start-up; it goes with the engine.
    std::unique_ptr<Sprite> fontSprite;
    /// The font sheet's decal, for DrawStringDecals; it goes with the engine, before the sheet.
    std::unique_ptr<Decal> fontDecal;
    /// The layers, index 0 the base layer.
    std::vector<Layer> layers;
    /// The layer that drawTarget belongs to, and that decal draws are queued on.
    uint8_t targetLayer = 0;
    /// Frames counted in the last completed second.
    uint32_t lastFps = 0;
    /// The Custom pixel mode's combining function.
    CustomPixelFunction customPixelFunc;
    /// Start of the previous frame.
    Clock::time_point lastFrameTime{};
    /// Start of the current frame.
    Clock::time_point thisFrameTime{};
    /// Keys down or up as the platform last reported them.
    std::atomic<bool> keyNewState[KeyCount] = {};
    /// Keys as the previous frame latched them.
    bool keyOldState[KeyCount] = {};
    /// Each key's state in this frame.
    ButtonState keyboardState[KeyCount] = {};
    /// Mouse buttons as the platform last reported them.
    std::atomic<bool> mouseNewState[MouseButtonCount] = {};
    /// Mouse buttons as the previous frame latched them.
    bool mouseOldState[MouseButtonCount] = {};
    /// Each mouse button's state in this frame.
    ButtonState mouseState[MouseButtonCount] = {};
    /// Whether Run or StartManualRun has opened the window; Run then fails.
    bool ran = false;

    // ---- Gamepads, typed text and presses between frames (engine/input.cpp) ----
  public:
    /// Reports pad 0–3 plugged in or pulled out. Pulling it out lets go of its buttons and centres
    /// its axes. Called by the platform; one event thread. Other pads are ignored.
    void UpdatePadConnection(int32_t pad, bool connected);
    /// Reports a pad button down or up; the next frame latches it like a key. Ignored for a pad
    /// that is not plugged in, and for the trigger buttons, which follow their axes. Called by the
    /// platform; one event thread.
    void UpdatePadButton(int32_t pad, PadButton button, bool down);
    /// Reports a pad axis at `value` (sticks −1..1 with y downwards, triggers 0..1; clamped, NaN
    /// taken as 0). A trigger's button follows its axis. Ignored for a pad that is not plugged in.
    /// Called by the platform; one event thread.
    void UpdatePadAxis(int32_t pad, PadAxis axis, float value);
    /// Adds the characters of UTF-8 `text` to the text typed for the next frame (malformed bytes
    /// and control characters are skipped). Called by the platform; one event thread.
    void UpdateTypedText(std::string_view text);
    /// Adds one typed character (a Unicode code point) to the text for the next frame. False when
    /// it is skipped: a control character, not a character, or more than a frame takes
    /// (TypedTextQueue::Capacity). Called by the platform; one event thread.
    bool UpdateTypedChar(char32_t c);

    /// Pad `pad`'s connection in this frame: held while plugged in, pressed in the frame it was
    /// plugged in, released in the frame it was pulled out. All false for pad > 3. Engine thread.
    ButtonState PadConnection(uint32_t pad) const;
    /// Whether pad `pad` is plugged in this frame. Engine thread.
    bool IsPadConnected(uint32_t pad) const { return PadConnection(pad).held; }
    /// A pad button's state in this frame, latched like KeyState; all false for a pad that is not
    /// plugged in or pad > 3. Engine thread.
    ButtonState PadButtonState(uint32_t pad, PadButton button) const;
    /// A pad axis in this frame with the dead zone applied (PadDeadZone): sticks −1..1 with y
    /// downwards, triggers 0..1; 0 for a pad that is not plugged in. Engine thread.
    float PadAxisValue(uint32_t pad, PadAxis axis) const;
    /// The UTF-8 text typed since the previous frame, key repeats included, for name entry;
    /// Backspace and Enter are keys (KeyState), not text. Engine thread.
    const std::string& TypedText() const { return typedText; }

  protected:
    /// Keys that went down since the last latch (set by UpdateKeyState, cleared by the latch), so
    /// that a key pressed and released between two frames still shows its press.
    std::atomic<bool> keyTapped[KeyCount] = {};
    /// The same for the mouse buttons.
    std::atomic<bool> mouseTapped[MouseButtonCount] = {};
    /// The pads as the platform last reported them.
    PadReport padReports[PadCount];
    /// The pads as this frame latched them.
    PadFrame padFrames[PadCount];
    /// Characters typed since the last latch.
    TypedTextQueue typedQueue;
    /// The text typed for this frame, UTF-8; its storage is reserved once, by the constructor.
    std::string typedText;

  private:
    bool IsPlugged(int32_t pad) const;
    // ---- end of gamepads, typed text and presses between frames ----

  private:
    // The sprite the primitives may write straight into, or null when every pixel must go through
    // Draw: there is no target, the mode is Custom (or unknown), or Draw has been overridden.
    Sprite* DirectTarget() const;
    // The function this object's Draw resolves to, or null where the compiler gives no way to
    // tell; then no pixel is ever written past Draw.
    const void* ResolvedDraw() const;
    void BuildGlyphInk();

    // The engine's own Draw, resolved while the engine part is being constructed (when the object
    // is still only a Tesserine): a later resolution that differs means an override.
    const void* engineDraw = nullptr;
    // Per character 32..127, bit gx * 8 + gy set where its glyph has ink; built with the font
    // sheet, which never changes afterwards.
    std::array<uint64_t, 96> glyphInk{};
    // The same ink as (column, row) pairs in drawing order, column by column and each top to
    // bottom, for text through an overridden Draw: a list costs less per pixel than finding the
    // set bits. Per byte, how many pixels its glyph has and where they end in glyphPixels; bytes
    // without a glyph ('\n' and those outside 32..127) have none.
    struct GlyphList {
        const std::array<uint8_t, 2>* end;
        ptrdiff_t count;
    };
    std::vector<std::array<uint8_t, 2>> glyphPixels;
    std::array<GlyphList, 256> glyphs{};

    // Whether a width x height screen at the current pixel size is positive and its window
    // fits int32 pixels.
    bool FitsWindow(int32_t width, int32_t height) const;
    // Run's steps on the main thread before the engine thread: the application, its window and the
    // viewport for the size it got. Fail after a run, or when the window cannot be made.
    ResultCode OpenWindow();
    // The engine thread's start, shared by every run: the platform's thread set-up, the device,
    // font and base layer, then OnCreate (clearing running when it refuses). Fail, the thread
    // cleaned up, when frames cannot run.
    ResultCode StartEngine();
    // Where the frames stop: tells the observer and asks OnDestroy. False, with running set again,
    // when it refuses.
    bool StopFrames();
    // The engine thread's end: the observer's RunEnding, then the platform's thread clean-up.
    void EndEngine();
    // The end of a hand-driven run whose frames have stopped: EndEngine and the application's
    // clean-up.
    ResultCode FinishManualRun();
    // The device through the platform's CreateGraphics, on dral::renderer or, when the window
    // gives it no GPU surface, on the fallback renderer (engine/renderer_choice.cpp). Engine
    // thread, first step of PrepareEngine.
    ResultCode CreateGraphics();
    void LatchInput();
    void ComposeLayers();
    void QueueDecalDraw(const DecalDraw& draw);
    void QueueWarped(DecalDraw& draw, const Vec2f corners[4]);
    // Queues the axis-aligned quad from pos spanning extent in device units (y upwards).
    void QueueRect(DecalDraw& draw, const Vec2f& pos, const Vec2f& extent);
    Vec2f ToDeviceCoords(const Vec2f& p) const;
    void UpdateTitle();

    // Between a successful StartManualRun and the EndManualRun that ends the run.
    bool handDriven = false;
    FrameObserver* frameObserver = nullptr;
    std::string titleText;

    // Game-author conveniences.
    std::string titleBanner;

    // Sound (engine/audio.h) --------------------------------------------------------------------
  public:
    /// The engine's sound: effects, music and master volume, mixed into the build's default audio
    /// device, which opens at the first play. Engine thread, like every Audio operation; sound
    /// is output only, so recordings and replays are unaffected by it.
    Audio& GetAudio() { return engineAudio; }

  private:
    // Last, so that the device closes before anything else of the engine goes.
    Audio engineAudio;
};

} // namespace dral
