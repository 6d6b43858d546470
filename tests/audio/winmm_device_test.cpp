// The waveOut device under the engine: it opens, keeps pulling until a sound has played to its
// end, and closes without waiting on the sound card.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "audio/winmm/audio_winmm.h"
#include "engine/audio.h"

namespace dral {
namespace {

TEST(WinMMAudioDevice, PlaysASoundToItsEndAndCloses) {
    Audio audio;
    audio.UseDevice(std::make_unique<AudioDevice_WinMM>());
    Sound sound;
    ASSERT_EQ(sound.SetSamples(std::vector<int16_t>(AudioRate / 5 * 2, 1000)), Ok);
    Voice voice;
    if (audio.Play(sound, 1.0f, 0.0f, false, &voice) != Ok) GTEST_SKIP() << "no waveOut device";
    ASSERT_TRUE(audio.IsPlaying(voice));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (audio.IsPlaying(voice) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(audio.IsPlaying(voice));
    EXPECT_FALSE(audio.Silent());
    const auto closing = std::chrono::steady_clock::now();
    audio.UseDevice(nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - closing, std::chrono::seconds(2));
}

} // namespace
} // namespace dral
