// One 800 x 600 frame composed: the base layer and 100 decals (plain, rotated and warped, some
// translucent), by the software renderer on this thread and by the OpenGL renderer on Mesa's
// llvmpipe (run it with LP_NUM_THREADS=1 for one core on each side) under a private Xvfb. The GL
// side waits for its frame with glFinish, so both measure finished frames.
#include <benchmark/benchmark.h>

#include <functional>

#include "renderer/opengl10/gl_fixture.h"
#include "renderer/software/scene.h"
#include "support/private_xvfb.h"

namespace dral::testing {
namespace {

constexpr int32_t Width = 800, Height = 600;

void QueueFrame(Tesserine& e, Decal& decal) {
    for (int i = 0; i < 100; ++i) {
        const Vec2f pos{float((i * 97) % Width), float((i * 61) % Height)};
        const Pixel tint = i % 3 ? White : Pixel{255, 200, 100, 160};
        if (i % 3 == 0) {
            e.DrawDecal(pos, &decal, {2, 2}, tint);
        } else if (i % 3 == 1) {
            e.DrawDecalRotated(pos, &decal, float(i) * 0.1f, {16, 16}, {2, 2}, tint);
        } else {
            const std::array<Vec2f, 4> corners{Vec2f{pos.x + 10, pos.y}, Vec2f{pos.x, pos.y + 64},
                                               Vec2f{pos.x + 64, pos.y + 64},
                                               Vec2f{pos.x + 54, pos.y}};
            e.DrawDecalWarped(&decal, corners, tint);
        }
    }
}

void PaintScene(Tesserine& e, Sprite& image) {
    PaintNoise(*e.GetDrawTarget(), 1);
    for (int32_t i = 0; i < Width * Height; ++i) e.GetDrawTarget()->pixels[i].a = 255;
    PaintNoise(image, 2);
}

// The engine on the OpenGL renderer with the system's own context: nothing read back.
class GLBench : public Tesserine {
  public:
    explicit GLBench(SDL_Window* window) {
        UseBackends(std::make_unique<WindowPlatform>(window), std::make_unique<Renderer_OGL10>());
        Setup(Width, Height, 1, 1, false, false);
        UpdateWindowSize(Width, Height);
        prepared = PrepareEngine() == Ok;
    }
    ~GLBench() override {
        if (prepared) renderer->DestroyDevice();
    }
    bool OnUpdate(float) override { return true; }
    bool prepared = false;
};

// Frames of the scene on a prepared engine; finish waits until the frame is done.
void Measure(benchmark::State& state, Tesserine& app, const std::function<void()>& finish) {
    Sprite image(32, 32);
    PaintScene(app, image);
    Decal decal(&image);
    for (auto _ : state) {
        QueueFrame(app, decal);
        app.RunFrameFor(0.01f);
        finish();
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_ComposeSoftware(benchmark::State& state) {
    SoftwareEngine app(Width, Height);
    Measure(state, app, [&] { benchmark::DoNotOptimize(app.software->Frame().data()); });
}

void BM_ComposeOpenGL(benchmark::State& state) {
    PrivateXvfb xvfb("800x600x24");
    if (!xvfb.Started()) {
        state.SkipWithError("Xvfb did not start");
        return;
    }
    TestWindow window(Width, Height);
    if (!window.window) {
        state.SkipWithError("no GL window");
        return;
    }
    GLBench app(window.window);
    if (!app.prepared) {
        state.SkipWithError("no GL context");
        return;
    }
    Measure(state, app, [] { glFinish(); });
}

// Process CPU time counts llvmpipe's own threads too: the fair measure on a shared machine.
BENCHMARK(BM_ComposeSoftware)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_ComposeOpenGL)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

} // namespace
} // namespace dral::testing

BENCHMARK_MAIN();
