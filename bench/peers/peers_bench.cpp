// Software drawing beside its peers, measured in one run on an 800 x 600 target: Clear against
// std::fill, primitives against SDL2_gfx on an SDL software renderer, blits against SDL's
// surface blits, and every primitive against the floor (one virtual call per pixel into another
// file), with Draw overridden as well. The machine may be shared and noisy, so each figure is the
// median of paired rounds and only ratios are reported.
//   peers_bench [--chart OUT.png] [--rounds N] [--frames RATIO]
// RATIO, the engine's frame rate over the SDL2 renderer's (bench/run measures it), joins the chart.
#include <SDL.h>
#include <SDL2_gfxPrimitives.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "bench/peers/chart.h"
#include "bench/peers/floor.h"

namespace dral::bench {
namespace {

constexpr int32_t Width = 800, Height = 600;

template <class App> App& Prepared() {
    static const std::unique_ptr<App> app = MakeEngine<App>(Width, Height);
    return *app;
}

class PlainEngine : public Tesserine {
  public:
    bool OnUpdate(float) override { return true; }
};

class RecordingEngine : public Tesserine {
  public:
    bool OnUpdate(float) override { return true; }
    bool Draw(int32_t x, int32_t y, Pixel p) override {
        plots.push_back({x, y, p});
        return Tesserine::Draw(x, y, p);
    }
    std::vector<PlotRecord> plots;
};

// The peer side: an RGBA surface with a software renderer for SDL2_gfx, and a 64 x 64 source.
struct SdlPeer {
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, Width, Height, 32, SDL_PIXELFORMAT_RGBA32);
    SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(surface);
    SDL_Surface* opaque = SDL_CreateRGBSurfaceWithFormat(0, 64, 64, 32, SDL_PIXELFORMAT_RGBA32);
    SDL_Surface* translucent =
        SDL_CreateRGBSurfaceWithFormat(0, 64, 64, 32, SDL_PIXELFORMAT_RGBA32);
    SdlPeer() {
        SDL_SetSurfaceBlendMode(opaque, SDL_BLENDMODE_NONE);
        SDL_SetSurfaceBlendMode(translucent, SDL_BLENDMODE_BLEND);
    }
    void Blit(SDL_Surface* source) {
        SDL_Rect at{100, 100, 64, 64};
        SDL_BlitSurface(source, nullptr, surface, &at);
    }
};

// The engine's 64 x 64 sources, with the same pixels as the peer's.
struct Sources {
    Sprite opaque{64, 64}, translucent{64, 64};
    explicit Sources(SdlPeer& peer) {
        for (int32_t y = 0; y < 64; ++y)
            for (int32_t x = 0; x < 64; ++x) {
                opaque.SetPixel(x, y, Pixel(uint8_t(x * 4), uint8_t(y * 4), 90, 255));
                translucent.SetPixel(
                    x, y, Pixel(uint8_t(x * 4), 40, uint8_t(y * 4), uint8_t((x + y) * 2)));
            }
        std::memcpy(peer.opaque->pixels, opaque.pixels, 64 * 64 * sizeof(Pixel));
        std::memcpy(peer.translucent->pixels, translucent.pixels, 64 * 64 * sizeof(Pixel));
    }
};

using Clock = std::chrono::steady_clock;

// Nanoseconds per call, over enough calls to last about ten milliseconds.
double NsPerCall(const std::function<void()>& op) {
    op(); // warm
    int64_t reps = 1;
    for (;;) {
        const auto start = Clock::now();
        for (int64_t i = 0; i < reps; ++i) op();
        const double ns = double(std::chrono::nanoseconds(Clock::now() - start).count());
        if (ns > 1e7 || reps > (int64_t{1} << 26)) return ns / double(reps);
        reps *= ns < 1e6 ? 8 : 2;
    }
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

struct Case {
    std::string operation, peer;
    PixelMode mode;
    std::function<void(Tesserine&)> draw;
    std::function<void()> peerDraw; // empty: no peer
    double goal;                    // for engine / peer
    bool blends;                    // the floor blends instead of storing
};

std::vector<Case> Cases(SdlPeer& peer, Sources& sources) {
    SDL_Renderer* r = peer.renderer;
    static const std::string text = "You died. Your score is: 1234567";
    auto lines = [](Tesserine& e) {
        e.DrawLine(0, 0, 799, 599, White);
        e.DrawLine(799, 0, 0, 599, White);
        e.DrawLine(10, 5, 30, 590, White);
    };
    return {
        {"FillRect 400x300", "SDL2_gfx boxRGBA", Normal,
         [](Tesserine& e) { e.FillRect(100, 100, 400, 300, Red); },
         [r] { boxRGBA(r, 100, 100, 499, 399, 255, 0, 0, 255); }, 1.5, false},
        {"FillRect, Alpha", "boxRGBA at alpha 128", Alpha,
         [](Tesserine& e) { e.FillRect(100, 100, 400, 300, Pixel(255, 0, 0, 128)); },
         [r] { boxRGBA(r, 100, 100, 499, 399, 255, 0, 0, 128); }, 1.5, true},
        {"DrawLine x3", "lineRGBA", Normal, lines,
         [r] {
             lineRGBA(r, 0, 0, 799, 599, 255, 255, 255, 255);
             lineRGBA(r, 799, 0, 0, 599, 255, 255, 255, 255);
             lineRGBA(r, 10, 5, 30, 590, 255, 255, 255, 255);
         },
         1.2, false},
        {"DrawCircle r200", "circleRGBA", Normal,
         [](Tesserine& e) { e.DrawCircle(400, 300, 200, Yellow); },
         [r] { circleRGBA(r, 400, 300, 200, 255, 255, 0, 255); }, 1.0, false},
        {"FillCircle r200", "filledCircleRGBA", Normal,
         [](Tesserine& e) { e.FillCircle(400, 300, 200, Green); },
         [r] { filledCircleRGBA(r, 400, 300, 200, 0, 255, 0, 255); }, 1.0, false},
        {"FillTriangle", "filledTrigonRGBA", Normal,
         [](Tesserine& e) { e.FillTriangle(20, 30, 780, 200, 300, 580, Blue); },
         [r] { filledTrigonRGBA(r, 20, 30, 780, 200, 300, 580, 0, 0, 255, 255); }, 1.0, false},
        {"DrawString 32 chars", "stringRGBA", Normal,
         [](Tesserine& e) { e.DrawString(10, 10, text, Red); },
         [r] { stringRGBA(r, 10, 10, text.c_str(), 255, 0, 0, 255); }, 1.0, false},
        {"DrawSprite 64x64", "SDL_BlitSurface, no blending", Normal,
         [&sources](Tesserine& e) { e.DrawSprite(100, 100, &sources.opaque); },
         [&peer] { peer.Blit(peer.opaque); }, 1.5, false},
        {"DrawSprite 64x64, Alpha", "SDL_BlitSurface, blending", Alpha,
         [&sources](Tesserine& e) { e.DrawSprite(100, 100, &sources.translucent); },
         [&peer] { peer.Blit(peer.translucent); }, 1.5, true},
    };
}

// The pixels one call hands to Draw, in order.
std::vector<PlotRecord> Record(const Case& c) {
    RecordingEngine& recorder = Prepared<RecordingEngine>();
    recorder.plots.clear();
    recorder.SetPixelMode(c.mode);
    c.draw(recorder);
    return std::move(recorder.plots);
}

std::string Format(double v) {
    char s[32];
    std::snprintf(s, sizeof s, v < 10 ? "%.2f" : "%.1f", v);
    return s;
}

int Main(int argc, char** argv) {
    std::string chartPath;
    int rounds = 9;
    double frames = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--chart") chartPath = argv[i + 1];
        if (option == "--rounds") rounds = std::max(1, std::atoi(argv[i + 1]));
        if (option == "--frames") frames = std::atof(argv[i + 1]);
    }
    SdlPeer peer;
    if (!peer.surface || !peer.renderer) {
        std::fprintf(stderr, "no SDL software renderer: %s\n", SDL_GetError());
        return 1;
    }
    Sources sources(peer);
    PlainEngine& engine = Prepared<PlainEngine>();
    OverridingEngine& overriding = Prepared<OverridingEngine>();
    Sprite* target = engine.GetDrawTarget();
    FloorSink storing(*overriding.GetDrawTarget());
    BlendingSink blending(*overriding.GetDrawTarget());

    std::vector<ChartRow> chart;
    // The chart shows times: a frame rate ratio r is a frame time ratio 1 / r.
    if (frames > 0) chart.push_back({"Frames vs SDL2 renderer (frame time)", 1.0 / frames, 1.0});
    std::printf("Release build, 800 x 600 target, medians of %d paired rounds; only the ratios "
                "count.\n\n",
                rounds);
    std::printf("| operation | peer | engine / peer | goal | engine / floor | with Draw "
                "overridden / floor |\n|---|---|---|---|---|---|\n");

    // Clear writes the array directly; its peer fills the same array.
    {
        std::vector<double> ratio;
        for (int round = 0; round < rounds; ++round) {
            const double e = NsPerCall([&] { engine.Clear(Pixel(10, 20, 30, 255)); });
            const double p = NsPerCall([&] {
                std::fill(target->pixels, target->pixels + Width * Height, Pixel(10, 20, 30, 255));
            });
            ratio.push_back(e / p);
        }
        std::printf("| Clear | std::fill | %s | 1.1 | — | — |\n", Format(Median(ratio)).c_str());
        chart.push_back({"Clear vs std::fill", Median(ratio), 1.1});
    }

    for (const Case& c : Cases(peer, sources)) {
        const std::vector<PlotRecord> plots = Record(c);
        FloorSink& sink = c.blends ? blending : storing;
        std::vector<double> vsPeer, vsFloor, overriddenVsFloor;
        engine.SetPixelMode(c.mode);
        overriding.SetPixelMode(c.mode);
        for (int round = 0; round < rounds; ++round) {
            const double p0 = round % 2 ? NsPerCall(c.peerDraw) : 0.0;
            const double e = NsPerCall([&] { c.draw(engine); });
            const double p = round % 2 ? p0 : NsPerCall(c.peerDraw);
            const double o = NsPerCall([&] { c.draw(overriding); });
            const double floor = NsPerCall([&] { FloorReplay(sink, plots); });
            vsPeer.push_back(e / p);
            vsFloor.push_back(e / floor);
            overriddenVsFloor.push_back(o / floor);
        }
        engine.SetPixelMode(Normal);
        overriding.SetPixelMode(Normal);
        std::printf("| %s | %s | %s | %s | %s | %s |\n", c.operation.c_str(), c.peer.c_str(),
                    Format(Median(vsPeer)).c_str(), Format(c.goal).c_str(),
                    Format(Median(vsFloor)).c_str(), Format(Median(overriddenVsFloor)).c_str());
        chart.push_back({c.operation + " vs " + c.peer, Median(vsPeer), c.goal});
        chart.push_back(
            {c.operation + ", Draw overridden, vs floor", Median(overriddenVsFloor), 1.25});
    }
    std::fflush(stdout);
    if (!chartPath.empty() && !WriteChart(chartPath, chart)) {
        std::fprintf(stderr, "could not write %s\n", chartPath.c_str());
        return 1;
    }
    return 0;
}

} // namespace
} // namespace dral::bench

int main(int argc, char** argv) {
    return dral::bench::Main(argc, argv);
}
