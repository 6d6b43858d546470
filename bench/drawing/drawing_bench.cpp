// Cost of software drawing on an 800 x 600 target: Clear beside std::fill over the same buffer,
// and the time per plotted pixel of the primitives, blits and text ("px" counts Draw calls).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>

#include "support/headless_engine.h"

namespace dral::testing {
namespace {

class Counting : public Tesserine {
  public:
    bool Draw(int32_t x, int32_t y, Pixel p) override {
        ++plots;
        return Tesserine::Draw(x, y, p);
    }
    int64_t plots = 0;
};

using Operation = std::function<void(Tesserine&)>;

HeadlessEngine<>& Engine() {
    static HeadlessEngine<> engine(800, 600);
    static const bool prepared = (engine.Prepare(), true);
    (void)prepared;
    return engine;
}

// Runs the operation once on a counting engine to learn how many pixels one call plots.
int64_t PlotsPerCall(const Operation& op) {
    HeadlessEngine<Counting> counter(800, 600);
    counter.Prepare();
    op(counter);
    return counter.plots;
}

void Measure(benchmark::State& state, const Operation& op, PixelMode mode = Normal) {
    HeadlessEngine<>& e = Engine();
    const int64_t plots = PlotsPerCall(op);
    e.SetPixelMode(mode);
    for (auto _ : state) {
        op(e);
        benchmark::ClobberMemory();
    }
    e.SetPixelMode(Normal);
    state.SetItemsProcessed(state.iterations() * plots);
    state.counters["px"] = double(plots);
}

// Clear writes the array directly, plotting nothing through Draw: the pair reports bytes.
// Both warm the buffer first, so that neither pays for being run first.
void MeasureFill(benchmark::State& state, const Operation& op) {
    HeadlessEngine<>& e = Engine();
    for (int i = 0; i < 500; ++i) op(e);
    for (auto _ : state) {
        op(e);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * 800 * 600 * int64_t(sizeof(Pixel)));
}
void BM_Clear(benchmark::State& state) {
    MeasureFill(state, [](Tesserine& e) { e.Clear(Pixel(10, 20, 30, 255)); });
}
void BM_StdFill(benchmark::State& state) {
    MeasureFill(state, [](Tesserine& e) {
        Sprite* t = e.GetDrawTarget();
        std::fill(t->Pixels(), t->Pixels() + size_t(t->width) * size_t(t->height),
                  Pixel(10, 20, 30, 255));
    });
}

void BM_FillRectNormal(benchmark::State& state) {
    Measure(state, [](Tesserine& e) { e.FillRect(100, 100, 400, 300, Red); });
}
void BM_FillRectAlpha(benchmark::State& state) {
    Measure(
        state, [](Tesserine& e) { e.FillRect(100, 100, 400, 300, Pixel(255, 0, 0, 128)); }, Alpha);
}
void BM_DrawLine(benchmark::State& state) {
    Measure(state, [](Tesserine& e) {
        e.DrawLine(0, 0, 799, 599, White);
        e.DrawLine(799, 0, 0, 599, White);
        e.DrawLine(10, 5, 30, 590, White);
    });
}
void BM_FillCircle(benchmark::State& state) {
    Measure(state, [](Tesserine& e) { e.FillCircle(400, 300, 200, Green); });
}
void BM_FillTriangle(benchmark::State& state) {
    Measure(state, [](Tesserine& e) { e.FillTriangle(20, 30, 780, 200, 300, 580, Blue); });
}

Sprite* BlitSource() {
    static Sprite sprite(64, 64);
    static const bool filled = [] {
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                sprite.SetPixel(x, y, Pixel(uint8_t(x * 4), uint8_t(y * 4), 0, 255));
        return true;
    }();
    (void)filled;
    return &sprite;
}
void BM_DrawSpriteScale1(benchmark::State& state) {
    Measure(state, [](Tesserine& e) { e.DrawSprite(100, 100, BlitSource(), 1); });
}
void BM_DrawSpriteScale3(benchmark::State& state) {
    Measure(state, [](Tesserine& e) { e.DrawSprite(100, 100, BlitSource(), 3); });
}
void BM_DrawString(benchmark::State& state) {
    static const std::string text = "You died. Your score is: 1234567";
    Measure(state, [](Tesserine& e) { e.DrawString(10, 10, text, Red); });
}

BENCHMARK(BM_Clear)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_StdFill)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FillRectNormal);
BENCHMARK(BM_FillRectAlpha);
BENCHMARK(BM_DrawLine);
BENCHMARK(BM_FillCircle);
BENCHMARK(BM_FillTriangle);
BENCHMARK(BM_DrawSpriteScale1);
BENCHMARK(BM_DrawSpriteScale3);
BENCHMARK(BM_DrawString);

} // namespace
} // namespace dral::testing

BENCHMARK_MAIN();
