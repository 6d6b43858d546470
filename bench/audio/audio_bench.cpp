// audio_bench: mixing N looping voices of the same chunks, the engine against SDL2_mixer, both on
// SDL's disk driver writing to /dev/null as fast as it can, so that the only difference is the
// mixer; and the latency from the engine's play call to the first buffer holding the sound, on the
// disk driver paced like a sound card. Prints a table of median ratios over ROUNDS paired rounds.
//   audio_bench [ROUNDS]    (default 7)
#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <thread>
#include <vector>

#include "audio/sdl/audio_sdl.h"
#include "engine/audio.h"

namespace {

using Clock = std::chrono::steady_clock;

// Seconds of sound each measurement mixes.
constexpr uint32_t MeasuredFrames = dral::AudioRate;

std::vector<int16_t> Noise(uint32_t frames) {
    std::vector<int16_t> samples(frames * 2);
    uint32_t state = 12345;
    for (int16_t& s : samples) {
        state = state * 1664525u + 1013904223u;
        s = static_cast<int16_t>((state >> 16) % 8000) - 4000;
    }
    return samples;
}

// Counts the frames a device has been handed and notes when a target count is passed.
struct FrameClock {
    std::atomic<uint64_t> frames{0};
    std::atomic<uint64_t> target{0};
    Clock::time_point start, end;
    std::atomic<bool> done{false};

    void Add(uint32_t n) {
        const uint64_t before = frames.fetch_add(n);
        if (before == 0) start = Clock::now();
        if (!done && before + n >= target) {
            end = Clock::now();
            done = true;
        }
    }
    double Wait(uint64_t count) {
        target = count + dral::AudioDevice_SDL::BufferFrames;
        while (!done) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return std::chrono::duration<double>(end - start).count();
    }
};

// The engine's SDL device with every pull also counted (and, for latency, inspected).
class CountingDevice : public dral::AudioDevice_SDL {
  public:
    explicit CountingDevice(std::function<void(const int16_t*, uint32_t)> seen) : look(seen) {}
    dral::ResultCode Open(dral::AudioPull mixer) override {
        return AudioDevice_SDL::Open([this, mixer](int16_t* samples, uint32_t frames) {
            mixer(samples, frames);
            look(samples, frames);
        });
    }

  private:
    std::function<void(const int16_t*, uint32_t)> look;
};

double EngineSeconds(const dral::Sound& sound, int voices) {
    FrameClock clock;
    dral::Audio audio;
    audio.UseDevice(std::make_unique<CountingDevice>(
        [&clock](const int16_t*, uint32_t frames) { clock.Add(frames); }));
    for (int i = 0; i < voices; ++i) audio.Play(sound, 0.5f, 0.0f, true);
    return clock.Wait(MeasuredFrames);
}

FrameClock* mixerClock = nullptr;

void CountMixed(void*, Uint8*, int bytes) {
    mixerClock->Add(static_cast<uint32_t>(bytes) / 4);
}

double MixerSeconds(const std::vector<int16_t>& samples, int voices) {
    FrameClock clock;
    mixerClock = &clock;
    if (Mix_OpenAudio(static_cast<int>(dral::AudioRate), AUDIO_S16SYS, 2,
                      dral::AudioDevice_SDL::BufferFrames) != 0)
        return 0.0;
    Mix_AllocateChannels(dral::VoiceLimit);
    Mix_Chunk* chunk =
        Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(const_cast<int16_t*>(samples.data())),
                          static_cast<Uint32>(samples.size() * 2));
    for (int i = 0; i < voices; ++i) {
        Mix_Volume(i, MIX_MAX_VOLUME / 2);
        Mix_PlayChannel(i, chunk, -1);
    }
    // Counting starts with the first buffer mixed after every voice has started.
    Mix_SetPostMix(CountMixed, nullptr);
    const double seconds = clock.Wait(MeasuredFrames);
    Mix_SetPostMix(nullptr, nullptr);
    Mix_HaltChannel(-1);
    Mix_FreeChunk(chunk);
    Mix_CloseAudio();
    return seconds;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Milliseconds from Play to the end of the pull that first carries the sound, over many plays
// at uneven moments; the disk driver waits one buffer's time between pulls, as a card would.
std::vector<double> Latencies(int plays) {
    ::setenv("SDL_DISKAUDIODELAY", "10", 1);
    std::atomic<bool> heard{false};
    Clock::time_point when;
    dral::Audio audio;
    audio.UseDevice(std::make_unique<CountingDevice>([&](const int16_t* s, uint32_t frames) {
        if (!heard && std::any_of(s, s + frames * 2, [](int16_t v) { return v != 0; })) {
            when = Clock::now();
            heard = true;
        }
    }));
    dral::Sound blip;
    blip.SetSamples(std::vector<int16_t>(400, 1000));
    std::vector<double> out;
    audio.Play(blip, 0.0f); // opens the device
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    for (int i = 0; i < plays; ++i) {
        std::this_thread::sleep_for(std::chrono::microseconds(3000 + (i * 7919) % 9000));
        heard = false;
        const Clock::time_point start = Clock::now();
        audio.Play(blip);
        while (!heard) std::this_thread::sleep_for(std::chrono::microseconds(200));
        out.push_back(std::chrono::duration<double, std::milli>(when - start).count());
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    ::setenv("SDL_DISKAUDIODELAY", "0", 1);
    SDL_LogSetAllPriority(SDL_LOG_PRIORITY_ERROR);
    SDL_LogSetOutputFunction([](void*, int, SDL_LogPriority, const char*) {}, nullptr);
    const std::vector<int16_t> samples = Noise(dral::AudioRate / 2);
    dral::Sound sound;
    sound.SetSamples(samples);
    if (SDL_Init(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "audio_bench: no SDL audio: %s\n", SDL_GetError());
        return 1;
    }

    std::printf("Mixing 1 s of 48 kHz stereo, SDL disk driver to /dev/null, %d paired rounds:\n",
                rounds);
    std::printf("voices  engine ms  SDL2_mixer ms  engine / SDL2_mixer (goal <= 1.0)\n");
    for (int voices : {1, 8, 32}) {
        std::vector<double> ratios, engine, mixer;
        for (int r = 0; r < rounds; ++r) {
            const bool engineFirst = r % 2 == 0;
            const double a = engineFirst ? EngineSeconds(sound, voices) : 0.0;
            const double m = MixerSeconds(samples, voices);
            const double e = engineFirst ? a : EngineSeconds(sound, voices);
            engine.push_back(e * 1000.0);
            mixer.push_back(m * 1000.0);
            ratios.push_back(e / m);
        }
        std::printf("%6d  %9.2f  %13.2f  %.2f\n", voices, Median(engine), Median(mixer),
                    Median(ratios));
    }

    const std::vector<double> latency = Latencies(60);
    const double buffer = 1000.0 * dral::AudioDevice_SDL::BufferFrames / dral::AudioRate;
    std::printf("\nLatency, play call to the first pull carrying the sound (%zu plays): median "
                "%.1f ms, max %.1f ms; the device buffer is %.1f ms (goal <= one frame + buffer)\n",
                latency.size(), Median(latency), *std::max_element(latency.begin(), latency.end()),
                buffer);
    SDL_Quit();
    return 0;
}
