// The two back-end contracts the engine drives: Platform (window, events, title, thread hand-over)
// and Renderer (graphics device, textures, quads, presentation), plus the process-wide owners and
// the order in which the engine chooses a renderer.
// Needs: the standard library and the engine's value types only; every back-end depends on it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
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

/// Receives one frame composed on the CPU: window pixels, top row first, RGBA, valid only during
/// the call. Called on the engine thread.
using FramePresenter = std::function<void(const Pixel* pixels, int32_t width, int32_t height)>;

/// The graphics back-end: owns the graphics device, the textures and the presentation of frames.
///
/// Exactly one exists, in dral::renderer. Every operation is called on the engine thread, and none
/// before CreateDevice has succeeded. Texture ids are chosen by the renderer; the engine stores
/// them in layers and decals and only hands them back. A renderer may assume that UpdateTexture
/// directly follows the CreateTexture or BindTexture of the same id, so it can upload into the
/// bound texture.
class Renderer {
  public:
    /// Releases the renderer. The engine destroys the process-wide one before exit only when it
    /// turns to the fallback renderer, before this one has made a device (CreateFallbackRenderer).
    virtual ~Renderer() = default;
    /// Reserved for work before the device exists; the engine never calls it, so it may be empty.
    virtual void PrepareDevice() = 0;
    /// Creates the device for the window in `params` (platform handles; the headless platform
    /// passes one null) and makes it current on the calling thread, the engine thread.
    /// Called by the platform's CreateGraphics. Ok: every later operation works from this thread;
    /// Fail makes CreateGraphics fail, and the engine then stops without a frame.
    virtual ResultCode CreateDevice(std::vector<void*> params, bool fullScreen, bool vsync) = 0;
    /// Releases the device and every texture still on it. Called by the platform's CleanUpThread
    /// on the engine thread, last; the result is not examined.
    virtual ResultCode DestroyDevice() = 0;
    /// Makes the composed frame visible (a buffer swap). Called once per frame after the layers,
    /// and by SetScreenSize.
    virtual void PresentFrame() = 0;
    /// Prepares the state (blending, no depth test) for the layer and decal quads that follow.
    /// Called once per frame before the first layer.
    virtual void BeginDrawing() = 0;
    /// Draws the bound texture over the whole viewport, texture coordinates offset + scale ×
    /// corner (so 1.0 is one whole texture), every texel multiplied by `tint`. Called during
    /// composition right after the layer's BindTexture, or by a layer's render hook.
    virtual void DrawLayerQuad(const Vec2f& offset, const Vec2f& scale, Pixel tint) = 0;
    /// Draws one queued decal: the record's texture (selected here, with no bind before it), its
    /// corners in normalised device coordinates, perspective texture coordinates and tint. The
    /// record is only borrowed for the call. Called during composition, after its layer's quad.
    virtual void DrawDecalQuad(const DecalDraw& decal) = 0;
    /// Creates a width × height texture (texels) and returns its fresh id, leaving it bound so
    /// that an UpdateTexture may follow at once. Called by CreateLayer and the Decal constructor.
    virtual uint32_t CreateTexture(uint32_t width, uint32_t height) = 0;
    /// Uploads the sprite's width × height pixels into texture `id`, resizing it to match. The
    /// sprite is only read during the call. Always directly follows the CreateTexture or
    /// BindTexture of `id`.
    virtual void UpdateTexture(uint32_t id, Sprite* sprite) = 0;
    /// Releases texture `id`; the id may be handed out again. Called by the Decal destructor; the
    /// result is not examined.
    virtual uint32_t DeleteTexture(uint32_t id) = 0;
    /// Selects texture `id` for the following UpdateTexture and DrawLayerQuad. Called during
    /// composition before each layer, and by Decal::Refresh.
    virtual void BindTexture(uint32_t id) = 0;
    /// Makes later drawing land in the rectangle at `position` of `size`, in window pixels from
    /// the top-left. Called every frame, by the platform's CreateGraphics and by SetScreenSize.
    virtual void SetViewport(const Vec2i& position, const Vec2i& size) = 0;
    /// Fills the whole colour buffer with `p` and, when `depth` is true, clears the depth buffer.
    /// Called twice per frame, twice by SetScreenSize, and by Tesserine::ClearBuffer.
    virtual void ClearBuffer(Pixel p, bool depth) = 0;

    /// Copies the frame last presented (the whole window, top row first) into frame, giving the
    /// sprite the frame's size. Renderers that cannot read their frame back (the default) return
    /// false and leave the sprite as it was. Called on the engine thread, like every renderer call.
    virtual bool ReadFrame(Sprite& frame) {
        (void)frame;
        return false;
    }
    /// For a renderer that composes on the CPU: hands every frame it presents to `present`, which
    /// puts it on screen (the engine passes the platform's ShowFrame). Renderers whose frames reach
    /// the window by themselves (a buffer swap) return false, the default, and ignore it. Called
    /// by the engine on the engine thread, before the device is made.
    virtual bool SetPresenter(FramePresenter present) {
        (void)present;
        return false;
    }
};

/// The window back-end: owns the window, its event loop and its title, and hands the graphics
/// device over to the engine thread.
///
/// Exactly one exists, in dral::platform. Over a run the calls come in this order: on the main
/// thread StartApplication, CreateAppWindow and RunEventLoop (which blocks); on the engine thread
/// StartThread, CreateGraphics, then every frame HandleSystemEvent and once a second
/// SetWindowTitle, and last CleanUpThread, which must make RunEventLoop return; then, on the main
/// thread again, CleanUpApplication. From its event handling on the main thread the platform
/// reports to the engine (through Platform::engine): RequestStop when the user closes the window,
/// UpdateWindowSize, UpdateMouse, UpdateMouseWheel, UpdateMouseState, UpdateKeyState and
/// UpdateKeyFocus.
class Platform {
  public:
    /// Releases the platform; the engine never destroys the process-wide one before exit.
    virtual ~Platform() = default;
    /// Prepares the window system. Called first by Run on the main thread; anything but Ok makes
    /// Run return Fail at once.
    virtual ResultCode StartApplication() = 0;
    /// Releases what StartApplication acquired. Called last by Run on the main thread, after the
    /// engine thread has been joined; Ok makes Run return Ok, anything else Fail.
    virtual ResultCode CleanUpApplication() = 0;
    /// Prepares the engine thread for the platform. Called first on the engine thread; Fail ends
    /// the run without a frame (the engine then calls CleanUpThread so the event loop ends).
    virtual ResultCode StartThread() = 0;
    /// Destroys the renderer's device (DestroyDevice) and makes RunEventLoop on the main thread
    /// return. Called last on the engine thread; the result is not examined.
    virtual ResultCode CleanUpThread() = 0;
    /// Creates the renderer's device for the window through CreateDevice (with `fullScreen` and
    /// `vsync`) and sets the first viewport (window pixels) through SetViewport. Called on the
    /// engine thread before OnCreate; Fail stops the run before the first frame.
    virtual ResultCode CreateGraphics(bool fullScreen, bool vsync, const Vec2i& viewPos,
                                      const Vec2i& viewSize) = 0;
    /// Creates the window at `position` with a drawing area of `size` window pixels, and starts
    /// delivering its events to the engine. On return `size` holds the real size (the display's in
    /// full-screen mode). Called by Run on the main thread; anything but Ok makes Run fail.
    virtual ResultCode CreateAppWindow(const Vec2i& position, Vec2i& size, bool fullScreen) = 0;
    /// Shows `title` as the window's title; the text is copied. Called once a second from the
    /// engine thread, so it must be safe while the main thread runs the event loop. The result is
    /// not examined.
    virtual ResultCode SetWindowTitle(const std::string& title) = 0;
    /// Dispatches window events on the main thread until CleanUpThread ends the loop, then
    /// returns. Called by Run; the result is not examined. In a build without threads Run calls it
    /// after StartManualRun instead: the loop then calls the engine's RunFrame while `running` is
    /// set and EndManualRun when it is cleared, until that ends the run; its result is Run's.
    virtual ResultCode RunEventLoop() = 0;
    /// Per-frame hook on the engine thread, called at the start of every frame before the input is
    /// latched. The result is not examined.
    virtual ResultCode HandleSystemEvent() = 0;

    /// The engine the platform reports to; set by CreateBackends and UseBackends. The window
    /// system calls the platform without any context; this is how it finds the engine.
    static inline Tesserine* engine = nullptr;

    // Beyond the slots above: what the engine asks when it chooses a renderer (see
    // CreateFallbackRenderer). A platform that has one GPU surface and nothing else keeps the
    // defaults.

    /// False once the platform knows its window gives a GPU renderer nothing to draw on: the window
    /// had to be made without a GL surface (an X server without GLX), or a renderer's device could
    /// not be made on it (a driver without GL, WGL without a context). Asked on the engine thread
    /// after CreateGraphics failed. The default is true.
    virtual bool GivesGpuSurface() const { return true; }
    /// Whether ShowFrame puts frames composed on the CPU on screen. The default is false: the
    /// platform shows only what a renderer presents itself.
    virtual bool ShowsCpuFrames() const { return false; }
    /// Shows one frame composed on the CPU (window pixels, top row first, RGBA); the pixels are
    /// copied or drawn during the call. Called on the engine thread by the renderer's PresentFrame
    /// when ShowsCpuFrames is true; the default does nothing.
    virtual void ShowFrame(const Pixel* pixels, int32_t width, int32_t height) {
        (void)pixels;
        (void)width;
        (void)height;
    }
};

/// True while the engine thread should produce frames. Set by Run; cleared by RequestStop, by
/// OnCreate or OnUpdate returning false. Any thread may read or write it.
inline std::atomic<bool> running{false};
/// The process's platform back-end; created by the engine's constructor, replaced by UseBackends,
/// and kept until the process ends.
inline std::unique_ptr<Platform> platform;
/// The process's renderer back-end; created and kept like dral::platform, or replaced once by the
/// fallback renderer before the first frame (CreateFallbackRenderer). Use it only on the engine
/// thread, for example from a layer's render hook.
inline std::unique_ptr<Renderer> renderer;

/// Creates the build's default back-end pair into the two outputs; each build links exactly one
/// definition. Called by the engine's constructor, on the thread that constructs it.
void CreateDefaultBackends(std::unique_ptr<Platform>& platformOut,
                           std::unique_ptr<Renderer>& rendererOut);

/// The renderer the engine turns to when its own cannot draw, or null when the build's set has
/// none (each build links exactly one definition). The engine chooses in this order, on the engine
/// thread before the first frame: first dral::renderer, the set's default or the one UseBackends
/// gave; then, only when the platform's CreateGraphics failed, the platform says it gives no GPU
/// surface (GivesGpuSurface) but shows frames composed on the CPU (ShowsCpuFrames), and
/// dral::renderer does not compose on the CPU itself, this renderer, which then replaces
/// dral::renderer. The desktop and Windows sets give Renderer_Software; the headless and browser
/// sets none.
std::unique_ptr<Renderer> CreateFallbackRenderer();

} // namespace dral
