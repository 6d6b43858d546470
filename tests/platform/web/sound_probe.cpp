// The browser's sound device with the engine's sound on the page's thread (no worker): main plays
// one looping sound of constant samples at half volume and returns, and the page keeps mixing it,
// so every sample it is fed must be the mixer's 20000 × 0.5 = 10000.
#include "engine/audio.h"

int main() {
    // Outlives main: the runtime stays alive after main returns and no destructor runs.
    static dral::Audio audio;
    static dral::Sound constant;
    constant.SetSamples(std::vector<int16_t>(4800 * 2, 20000));
    return audio.Play(constant, 0.5f, 0.0f, true) == dral::Ok ? 0 : 1;
}
