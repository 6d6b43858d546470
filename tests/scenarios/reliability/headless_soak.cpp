// Crumbolt on the headless back-end pair for a long run of frames with random held keys, mouse,
// wheel, focus and window-size changes and random frame times. It fails when any frame after the
// warm-up touches the heap; run under AddressSanitizer it also proves the run memory-clean.
// Usage: headless_soak [FRAMES [SEED]]   (defaults: 1000000 frames, seed 1)
#include <cstdio>
#include <cstdlib>
#include <random>

#include "game/crumbolt.h"
#include "game/media_command.h"
#include "support/counting_new.h"
#include "support/headless_engine.h"

namespace {

using dral::Key;
using dral::testing::allocations;
using dral::testing::counting;

// Frames before this have set up the title's and the texts' storage.
constexpr long WarmUpFrames = 2000;
constexpr Key Steering[] = {Key::W, Key::A, Key::S, Key::D, Key::Space};

struct Totals {
    long frames = 0;
    long allocatingFrames = 0;
    long deaths = 0;
    int32_t bestScore = 0;
};

// One frame's random input, as the event thread would deliver it between two frames.
void Disturb(dral::testing::HeadlessEngine<crumbolt::Crumbolt>& game, std::mt19937& rng) {
    std::uniform_int_distribution<int> percent(0, 99);
    if (percent(rng) < 10) {
        const Key k = Steering[std::uniform_int_distribution<size_t>(0, 4)(rng)];
        game.UpdateKeyState(static_cast<int32_t>(k), percent(rng) < 50);
    }
    if (percent(rng) < 5) game.UpdateMouse(int32_t(rng() % 1200) - 100, int32_t(rng() % 900) - 100);
    if (percent(rng) < 2) game.UpdateMouseWheel(int32_t(rng() % 241) - 120);
    if (percent(rng) < 1) game.UpdateKeyFocus(percent(rng) < 50);
    if (percent(rng) < 1)
        game.UpdateWindowSize(int32_t(rng() % 1600) + 1, int32_t(rng() % 1200) + 1);
}

Totals Soak(long frames, uint32_t seed) {
    std::srand(seed);
    crumbolt::ResetState();
    dral::testing::HeadlessEngine<crumbolt::Crumbolt> game(800, 600);
    game.Prepare();
    dral::running = true;
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> frameTime(0.0005f, 0.03f);
    Totals totals;
    bool wasDead = false;
    for (long f = 0; f < frames; f++) {
        Disturb(game, rng);
        allocations = 0;
        counting = f >= WarmUpFrames;
        game.RunFrameFor(frameTime(rng));
        counting = false;
        if (allocations > 0) {
            totals.allocatingFrames++;
            if (totals.allocatingFrames <= 5)
                std::printf("frame %ld allocated %ld times\n", f, allocations);
        }
        // Escape is never pressed, so the run only stops if something is wrong.
        if (!dral::running) break;
        const bool dead = crumbolt::state.isDead;
        if (dead && !wasDead) totals.deaths++;
        if (crumbolt::state.tickCount > totals.bestScore)
            totals.bestScore = crumbolt::state.tickCount;
        wasDead = dead;
        totals.frames++;
    }
    return totals;
}

} // namespace

int main(int argc, char** argv) {
    const long frames = argc > 1 ? std::atol(argv[1]) : 1000000;
    const uint32_t seed = argc > 2 ? uint32_t(std::strtoul(argv[2], nullptr, 10)) : 1;
    // The run is about the engine and the game, not the sound card.
    crumbolt::SetMediaCommandSink([](const char*) {});
    const Totals t = Soak(frames, seed);
    std::printf("frames %ld, deaths %ld, best score %d, frames that allocated after warm-up %ld\n",
                t.frames, t.deaths, t.bestScore, t.allocatingFrames);
    if (t.frames != frames) {
        std::printf("FAIL: the run stopped after %ld frames\n", t.frames);
        return 1;
    }
    if (t.allocatingFrames != 0) {
        std::printf("FAIL: steady frames allocate\n");
        return 1;
    }
    std::printf("PASS\n");
    return 0;
}
