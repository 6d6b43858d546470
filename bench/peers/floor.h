// The floor of per-pixel drawing: one virtual call per pixel into another translation unit that
// stores or blends that pixel, and an engine whose Draw override does the same work. Kept apart
// from the harness so that no call can be inlined away. Also the headless engines of the bench.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/tesserine.h"
#include "platform/headless/platform_headless.h"
#include "renderer/headless/renderer_headless.h"

namespace dral::bench {

// The least a per-pixel drawing interface can cost: a bounds test and a store (or a blend).
class FloorSink {
  public:
    explicit FloorSink(Sprite& sprite) : target(sprite) {}
    virtual ~FloorSink() = default;
    virtual bool Put(int32_t x, int32_t y, Pixel p);

  protected:
    Sprite& target;
};

class BlendingSink : public FloorSink {
  public:
    using FloorSink::FloorSink;
    bool Put(int32_t x, int32_t y, Pixel p) override;
};

// One pixel as a primitive hands it to Draw.
struct PlotRecord {
    int32_t x, y;
    Pixel p;
};

// Calls sink.Put for every record, in order: the same pixels at the same places as the primitive
// that was recorded, at the cost of nothing but the calls and the stores.
void FloorReplay(FloorSink& sink, const std::vector<PlotRecord>& plots);

// An application that replaces Draw with a plain store (or, with Blends, blend) of its own, so
// every primitive takes the per-pixel path. Its Draw does the floor's work and nothing more, as
// the floor's sink is chosen by the same case: the ratio of the two is the engine's walk alone.
template <bool Blends> class OverridingEngine : public Tesserine {
  public:
    bool OnUpdate(float) override { return true; }
    bool Draw(int32_t x, int32_t y, Pixel p) override;
};

// An engine of the given size on the headless back-ends, prepared on the calling thread.
template <class App> std::unique_ptr<App> MakeEngine(int32_t width, int32_t height) {
    auto app = std::make_unique<App>();
    app->UseBackends(std::make_unique<Platform_Headless>(), std::make_unique<Renderer_Headless>());
    app->Setup(width, height, 1, 1, false, false);
    app->UpdateWindowSize(width, height);
    app->PrepareEngine();
    return app;
}

} // namespace dral::bench
