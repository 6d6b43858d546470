// Renderer_Software: the Renderer back-end that composes on the CPU, by the rules the OpenGL 1.x
// renderer follows on Mesa, into a double-buffered frame that an application or a test can read,
// save, or hand to a platform that shows it (an SDL window surface, a GDI blit).
// Needs: the engine's contracts and the rasteriser beside it (raster.h); no window system, no GPU.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "engine/backend.h"
#include "renderer/software/raster.h"

namespace dral {

/// The Renderer that composes on the CPU, as Renderer_OGL10 does on Mesa, into a frame that
/// ReadFrame, Frame and Tesserine::SaveFrame can read. It needs no window and no GPU: pair it with
/// Platform_Headless for frames anywhere, or with a platform that shows CPU frames (Platform_SDL,
/// Platform_Windows) to see them in a window.
class Renderer_Software : public Renderer {
  public:
    /// Receives each presented frame, top row first, on the engine thread; the pixels stay valid
    /// until the next present.
    using Presenter = FramePresenter;

    /// Hands every presented frame to `show`; the engine sets it, before the device is made, to
    /// the platform's ShowFrame when the platform shows such frames. Without one the frames are
    /// only kept for reading. Returns true: this renderer composes on the CPU.
    bool SetPresenter(Presenter show) override {
        presenter = std::move(show);
        return true;
    }

    void PrepareDevice() override {}
    // Needs no window: the handles are not used.
    ResultCode CreateDevice(std::vector<void*> params, bool fullScreen, bool vsync) override;
    ResultCode DestroyDevice() override;
    // Swaps the frames and hands the new front frame to the presenter.
    void PresentFrame() override;
    // Switches on source-alpha blending, which stays on, as in GL.
    void BeginDrawing() override { blending = true; }
    void DrawLayerQuad(const Vec2f& offset, const Vec2f& scale, Pixel tint) override;
    void DrawDecalQuad(const DecalDraw& decal) override;
    uint32_t CreateTexture(uint32_t width, uint32_t height) override;
    void UpdateTexture(uint32_t id, Sprite* sprite) override;
    uint32_t DeleteTexture(uint32_t id) override;
    void BindTexture(uint32_t id) override { boundTexture = id; }
    // GL counts the position's y from the bottom of the window; so does this renderer. The frame
    // is the window around the engine's centred viewport: its size is size + 2 x position.
    void SetViewport(const Vec2i& position, const Vec2i& size) override;
    // Fills the whole frame, bars included, as glClear does.
    void ClearBuffer(Pixel p, bool depth) override;
    bool ReadFrame(Sprite& frame) override;

    /// The frame last presented, top row first (empty before the first present).
    const std::vector<Pixel>& Frame() const { return front; }
    /// The frame's size: the window around the viewport; 0 x 0 while it cannot be held.
    Vec2i FrameSize() const { return frameSize; }
    /// Frames presented without drawing because their window could not be held: wider or taller
    /// than MaxFrameSide, more than MaxFramePixels, or more than memory gives. Drawing resumes
    /// with the first viewport whose frame can be held.
    uint64_t SkippedFrames() const { return skippedFrames; }

    /// Lowers the most pixels a frame may hold (MaxFramePixels at most) to bound the renderer's
    /// memory; frames beyond it are skipped from the next viewport change. Engine thread.
    void SetFrameLimit(int64_t pixels) {
        frameLimit = std::clamp<int64_t>(pixels, 0, MaxFramePixels);
    }

    /// The widest and tallest frame the renderer holds, in window pixels.
    static constexpr int32_t MaxFrameSide = 16384;
    /// The most pixels a frame holds: 64 Mi, 256 MiB for each of the two frames, above an
    /// 8K display's 33 Mi.
    static constexpr int64_t MaxFramePixels = int64_t{1} << 26;

  private:
    struct Texture {
        int32_t width = 0, height = 0;
        std::vector<Pixel> texels;
    };
    software::Corner ToFrame(const Vec2f& ndc, float s, float t, float q) const;
    void DrawQuad(const software::Corner corners[4], uint32_t textureId, Pixel tint);
    void DropFrames();

    Presenter presenter;
    std::vector<Pixel> back, front;
    // Scratch for the rasteriser's axis-aligned quads, sized with the frame.
    std::vector<software::Column> columns;
    Vec2i frameSize{0, 0};
    Vec2i viewPos{0, 0}, viewSize{0, 0};
    bool blending = false;
    bool presented = false;
    // The current viewport's frame could not be held: frames are skipped until one can.
    bool unheld = false;
    uint64_t skippedFrames = 0;
    int64_t frameLimit = MaxFramePixels;
    std::unordered_map<uint32_t, Texture> textures{64};
    uint32_t boundTexture = 0;
    uint32_t nextTexture = 1;
};

} // namespace dral
