// One 800 x 600 frame composed: the base layer and 100 decals (plain, rotated and warped, some
// translucent), by the software renderer on this thread and by the OpenGL renderer on Mesa's
// llvmpipe (run it with LP_NUM_THREADS=1 for one core on each side) under a private Xvfb. The GL
// side waits for its frame with glFinish, so both measure finished frames.
//   compose_bench [GOOGLE BENCHMARK OPTIONS]   times both sides
//   compose_bench --count                      under callgrind: dumps each side's instructions for
//                                              CountedFrames frames, labelled "compose|engine"
//                                              (software) and "compose|peer" (llvmpipe)
#include <benchmark/benchmark.h>
#include <valgrind/callgrind.h>

#include <cstring>
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

Sprite* Painted(Tesserine& app, Sprite& image) {
    PaintScene(app, image);
    return &image;
}

// The scene painted on a prepared engine, with the decal its frames draw (made from the painted
// image, since a decal takes its image when it is made).
struct Scene {
    explicit Scene(Tesserine& app) : image(32, 32), decal(Painted(app, image)) {}
    Sprite image;
    Decal decal;
};

// One frame of the scene; finish waits until it is done.
void ComposeFrame(Tesserine& app, Scene& scene, const std::function<void()>& finish) {
    QueueFrame(app, scene.decal);
    app.RunFrameFor(0.01f);
    finish();
}

void Measure(benchmark::State& state, Tesserine& app, const std::function<void()>& finish) {
    Scene scene(app);
    for (auto _ : state) ComposeFrame(app, scene, finish);
    state.SetItemsProcessed(state.iterations());
}

// Count mode: after a warm frame, callgrind counts only these frames, every thread's share.
constexpr int CountedFrames = 10;
void CountFrames(const char* label, Tesserine& app, const std::function<void()>& finish) {
    Scene scene(app);
    ComposeFrame(app, scene, finish);
    CALLGRIND_ZERO_STATS;
    for (int i = 0; i < CountedFrames; ++i) ComposeFrame(app, scene, finish);
    CALLGRIND_DUMP_STATS_AT(label);
}

int CountBoth() {
    {
        SoftwareEngine app(Width, Height);
        CountFrames("compose|engine", app, [&] { app.software->Frame(); });
    }
    PrivateXvfb xvfb("800x600x24");
    TestWindow window(Width, Height);
    if (!xvfb.Started() || !window.window) return 1;
    GLBench app(window.window);
    if (!app.prepared) return 1;
    CountFrames("compose|peer", app, [] { glFinish(); });
    return 0;
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

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--count") == 0) return dral::testing::CountBoth();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
