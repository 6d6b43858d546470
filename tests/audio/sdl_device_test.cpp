// A real SDL audio device, on SDL's disk driver, receives exactly the samples the headless device
// reads for the same sound, volume and pan.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "audio/headless/audio_headless.h"
#include "audio/sdl/audio_sdl.h"
#include "engine/audio.h"

namespace dral {
namespace {

// 0.1 s with no zero sample, so its start and end show in the device's stream.
Sound Ramp() {
    std::vector<int16_t> samples(AudioRate / 10 * 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(i % 2 ? -1000 - int(i % 3000) : 1000 + int(i % 5000));
    Sound sound;
    EXPECT_EQ(sound.SetSamples(samples), Ok);
    return sound;
}

std::vector<int16_t> Headless(const Sound& sound, uint32_t frames) {
    Audio audio;
    auto owned = std::make_unique<AudioDevice_Headless>();
    AudioDevice_Headless* device = owned.get();
    audio.UseDevice(std::move(owned));
    EXPECT_EQ(audio.Play(sound, 0.75f, 0.25f), Ok);
    return device->Render(frames);
}

TEST(SdlAudioDevice, DiskDriverReceivesTheMixersSamples) {
    const std::string file = (std::filesystem::temp_directory_path() /
                              ("tesserine-sdl-audio-" + std::to_string(::getpid()) + ".raw"))
                                 .string();
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    ::setenv("SDL_DISKAUDIODELAY", "1", 1);
    const Sound sound = Ramp();
    {
        Audio audio;
        audio.UseDevice(std::make_unique<AudioDevice_SDL>());
        Voice voice;
        ASSERT_EQ(audio.Play(sound, 0.75f, 0.25f, false, &voice), Ok);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (audio.IsPlaying(voice) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_FALSE(audio.IsPlaying(voice));
        // Two more buffers so that the one holding the end has reached the file.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    std::filesystem::remove(file);
    std::vector<int16_t> received(bytes.size() / 2);
    std::memcpy(received.data(), bytes.data(), received.size() * 2);

    // Silence until the play call reached the mixer, then the sound, then silence.
    const std::vector<int16_t> mixed = Headless(sound, sound.Frames());
    size_t start = 0;
    while (start < received.size() && received[start] == 0) ++start;
    ASSERT_GE(received.size(), start + mixed.size());
    EXPECT_EQ(start % 2, 0u);
    EXPECT_TRUE(std::equal(mixed.begin(), mixed.end(), received.begin() + start));
    EXPECT_TRUE(std::all_of(received.begin() + start + mixed.size(), received.end(),
                            [](int16_t s) { return s == 0; }));
}

} // namespace
} // namespace dral
