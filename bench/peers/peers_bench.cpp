// Software drawing beside its peers, measured in one run on an 800 x 600 target: Clear against
// std::fill, primitives against SDL2_gfx on an SDL software renderer, blits against SDL's
// surface blits, and every primitive against the floor (one virtual call per pixel into another
// file), with Draw overridden as well. The machine may be shared and noisy, so each time is the
// median of paired rounds and only ratios are reported; instruction counts, which do not move with
// the load, stand beside them.
//   peers_bench [--chart OUT.png] [--rounds N] [--frames RATIO] [--compose RATIO] [--counts FILE]
//   peers_bench --count       (under valgrind --tool=callgrind: one dump per measured side)
// --frames: the engine's frame rate over the SDL2 renderer's; --compose: the software renderer's
// time to compose a frame over llvmpipe's (bench/run measures both); each joins table and chart.
// FILE holds "instructions<TAB>label" lines taken from the dumps of a --count run.
#include <SDL.h>
#include <SDL2_gfxPrimitives.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_ZERO_STATS
#define CALLGRIND_DUMP_STATS_AT(label) (void)(label)
#endif

#include "bench/peers/chart.h"
#include "bench/peers/floor.h"

namespace dral::bench {
namespace {

constexpr int32_t Width = 800, Height = 600;
// Above this 1-minute load per core the times are not trusted enough for the chart.
constexpr double MaxLoadPerCore = 1.5;

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

// Count mode: warm once, then callgrind counts only these calls and dumps them under label.
constexpr int CountedCalls = 4;
void CountCalls(const std::string& label, const std::function<void()>& op) {
    op();
    CALLGRIND_ZERO_STATS;
    for (int i = 0; i < CountedCalls; ++i) op();
    CALLGRIND_DUMP_STATS_AT(label.c_str());
}

// The instruction counts of a --count run by label; a missing label reads as 0.
std::map<std::string, double> ReadCounts(const std::string& path) {
    std::map<std::string, double> counts;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const size_t tab = line.find('\t');
        if (tab != std::string::npos) counts[line.substr(tab + 1)] = std::atof(line.c_str());
    }
    return counts;
}

// The 1-minute load average per core, the larger of now and before.
double LoadPerCore(double before) {
    double load[1] = {0};
    if (getloadavg(load, 1) < 1) return before;
    return std::max(before, load[0] / std::max(1u, std::thread::hardware_concurrency()));
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
         [&peer] { peer.Blit(peer.translucent); }, 1.0, true},
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
    if (v <= 0) return "—";
    char s[32];
    std::snprintf(s, sizeof s, v < 10 ? "%.2f" : "%.1f", v);
    return s;
}

// The instruction ratio of two sides of a row in a --count run, 0 when either is missing.
struct Counts {
    std::map<std::string, double> byLabel;
    double Ratio(const std::string& row, const char* side, const char* over) const {
        const auto a = byLabel.find(row + "|" + side), b = byLabel.find(row + "|" + over);
        if (a == byLabel.end() || b == byLabel.end() || b->second <= 0) return 0;
        return a->second / b->second;
    }
};

struct Options {
    std::string chartPath, countsPath;
    int rounds = 9;
    double frames = 0, compose = 0;
    bool count = false;
};

Options Parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--count") o.count = true;
        if (i + 1 >= argc) break;
        if (option == "--chart") o.chartPath = argv[i + 1];
        if (option == "--counts") o.countsPath = argv[i + 1];
        if (option == "--rounds") o.rounds = std::max(1, std::atoi(argv[i + 1]));
        if (option == "--frames") o.frames = std::atof(argv[i + 1]);
        if (option == "--compose") o.compose = std::atof(argv[i + 1]);
    }
    return o;
}

// The measured sides: the plain engine, the overriding one and the floor's sinks.
struct Sides {
    PlainEngine& engine = Prepared<PlainEngine>();
    OverridingEngine<false>& overridingStore = Prepared<OverridingEngine<false>>();
    OverridingEngine<true>& overridingBlend = Prepared<OverridingEngine<true>>();
    FloorSink storing{*overridingStore.GetDrawTarget()};
    BlendingSink blending{*overridingBlend.GetDrawTarget()};

    void Clear() { engine.Clear(Pixel(10, 20, 30, 255)); }
    // Clear's peer fills the same array.
    void Fill() {
        Pixel* pixels = engine.GetDrawTarget()->pixels;
        std::fill(pixels, pixels + Width * Height, Pixel(10, 20, 30, 255));
    }
    FloorSink& Sink(const Case& c) { return c.blends ? blending : storing; }
    // The cases hand opaque pixels to Draw in Mask mode, so storing serves Normal and Mask.
    Tesserine& Overriding(const Case& c) {
        return c.blends ? static_cast<Tesserine&>(overridingBlend) : overridingStore;
    }
    void SetPixelMode(PixelMode mode) {
        engine.SetPixelMode(mode);
        overridingStore.SetPixelMode(mode);
        overridingBlend.SetPixelMode(mode);
    }
};

// The whole bench once under callgrind: every side of every row counted on its own.
void CountAll(Sides& sides, SdlPeer& peer, Sources& sources) {
    CountCalls("Clear|engine", [&] { sides.Clear(); });
    CountCalls("Clear|peer", [&] { sides.Fill(); });
    for (const Case& c : Cases(peer, sources)) {
        const std::vector<PlotRecord> plots = Record(c);
        sides.SetPixelMode(c.mode);
        CountCalls(c.operation + "|engine", [&] { c.draw(sides.engine); });
        CountCalls(c.operation + "|peer", c.peerDraw);
        CountCalls(c.operation + "|overridden", [&] { c.draw(sides.Overriding(c)); });
        CountCalls(c.operation + "|floor", [&] { FloorReplay(sides.Sink(c), plots); });
        sides.SetPixelMode(Normal);
    }
}

int Main(int argc, char** argv) {
    const Options options = Parse(argc, argv);
    const int rounds = options.rounds;
    SdlPeer peer;
    if (!peer.surface || !peer.renderer) {
        std::fprintf(stderr, "no SDL software renderer: %s\n", SDL_GetError());
        return 1;
    }
    Sources sources(peer);
    Sides sides;
    if (options.count) {
        CountAll(sides, peer, sources);
        return 0;
    }
    const Counts counts{options.countsPath.empty() ? std::map<std::string, double>{}
                                                   : ReadCounts(options.countsPath)};
    double load = LoadPerCore(0);

    std::vector<ChartRow> chart;
    // The chart shows times: a frame rate ratio r is a frame time ratio 1 / r.
    if (options.frames > 0)
        chart.push_back({"Frames vs SDL2 renderer (frame time)", 1.0 / options.frames, 0, 1.0});
    std::printf("Release build, 800 x 600 target, medians of %d paired rounds; only the ratios "
                "count. Each cell: time ratio / instruction ratio (callgrind).\n\n",
                rounds);
    std::printf("| operation | peer | engine / peer | goal | engine / floor | with Draw "
                "overridden / floor |\n|---|---|---|---|---|---|\n");
    const auto cell = [](double time, double instructions) {
        return Format(time) + " / " + Format(instructions);
    };

    // Clear writes the array directly; its peer fills the same array.
    {
        std::vector<double> ratio;
        for (int round = 0; round < rounds; ++round) {
            const double e = NsPerCall([&] { sides.Clear(); });
            const double p = NsPerCall([&] { sides.Fill(); });
            ratio.push_back(e / p);
        }
        const double instructions = counts.Ratio("Clear", "engine", "peer");
        std::printf("| Clear | std::fill | %s | 1.1 | — | — |\n",
                    cell(Median(ratio), instructions).c_str());
        chart.push_back({"Clear vs std::fill", Median(ratio), instructions, 1.1});
    }

    for (const Case& c : Cases(peer, sources)) {
        const std::vector<PlotRecord> plots = Record(c);
        std::vector<double> vsPeer, vsFloor, overriddenVsFloor;
        sides.SetPixelMode(c.mode);
        for (int round = 0; round < rounds; ++round) {
            const double p0 = round % 2 ? NsPerCall(c.peerDraw) : 0.0;
            const double e = NsPerCall([&] { c.draw(sides.engine); });
            const double p = round % 2 ? p0 : NsPerCall(c.peerDraw);
            const double o = NsPerCall([&] { c.draw(sides.Overriding(c)); });
            const double floor = NsPerCall([&] { FloorReplay(sides.Sink(c), plots); });
            vsPeer.push_back(e / p);
            vsFloor.push_back(e / floor);
            overriddenVsFloor.push_back(o / floor);
        }
        sides.SetPixelMode(Normal);
        const double peerCount = counts.Ratio(c.operation, "engine", "peer");
        const double floorCount = counts.Ratio(c.operation, "engine", "floor");
        const double overriddenCount = counts.Ratio(c.operation, "overridden", "floor");
        std::printf("| %s | %s | %s | %s | %s | %s |\n", c.operation.c_str(), c.peer.c_str(),
                    cell(Median(vsPeer), peerCount).c_str(), Format(c.goal).c_str(),
                    cell(Median(vsFloor), floorCount).c_str(),
                    cell(Median(overriddenVsFloor), overriddenCount).c_str());
        chart.push_back({c.operation + " vs " + c.peer, Median(vsPeer), peerCount, c.goal});
        chart.push_back({c.operation + ", Draw overridden, vs floor", Median(overriddenVsFloor),
                         overriddenCount, 1.25});
    }
    // Composition is timed by its own bench; its instructions are counted with the others.
    if (options.compose > 0) {
        const double instructions = counts.Ratio("compose", "engine", "peer");
        std::printf("| Software compose, one frame | OpenGL on llvmpipe, one thread | %s | 0.5 | — "
                    "| — |\n",
                    cell(options.compose, instructions).c_str());
        chart.push_back({"Software compose vs llvmpipe", options.compose, instructions, 0.5});
    }
    load = LoadPerCore(load);
    std::printf("\nLoad average while measuring: %.2f per core (1 minute, the larger of start and "
                "end)\n",
                load);
    std::fflush(stdout);
    if (options.chartPath.empty()) return 0;
    // Times taken under load say little, and a chart made from them would mislead.
    if (load > MaxLoadPerCore) {
        std::fprintf(stderr, "load %.2f per core is above %.1f: the chart is not written\n", load,
                     MaxLoadPerCore);
        return 2;
    }
    if (!WriteChart(options.chartPath, chart, load)) {
        std::fprintf(stderr, "could not write %s\n", options.chartPath.c_str());
        return 1;
    }
    return 0;
}

} // namespace
} // namespace dral::bench

int main(int argc, char** argv) {
    return dral::bench::Main(argc, argv);
}
