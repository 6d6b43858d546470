// The mixing rules pinned sample for sample on the headless device: volume, pan, master volume,
// clipping, loop, stop, the voice limit, music pause and resume, and the silent engine.
#include <gtest/gtest.h>

#include <vector>

#include "audio/headless/audio_headless.h"
#include "engine/audio.h"

namespace dral {
namespace {

// A stereo sound whose frames are (left, right) pairs from the list.
Sound Frames(std::vector<int16_t> stereo) {
    Sound sound;
    EXPECT_EQ(sound.SetSamples(std::move(stereo)), Ok);
    return sound;
}

class MixerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto owned = std::make_unique<AudioDevice_Headless>();
        device = owned.get();
        audio.UseDevice(std::move(owned));
    }
    std::vector<int16_t> Render(uint32_t frames) { return device->Render(frames); }

    Audio audio;
    AudioDevice_Headless* device = nullptr;
};

TEST_F(MixerTest, VolumePanAndMasterScaleEachSideInFixedPoint) {
    struct Case {
        float volume, pan, master;
        int16_t left, right;
    };
    // 16.16 gains, arithmetic shift (rounds toward minus infinity): 1000 × 0.5 = 500, −1001 ×
    // 0.5 = −501; pan fades only the far side.
    const Case cases[] = {
        {1.0f, 0.0f, 1.0f, 1000, -1001}, {0.5f, 0.0f, 1.0f, 500, -501},
        {1.0f, -1.0f, 1.0f, 1000, 0},    {1.0f, 1.0f, 1.0f, 0, -1001},
        {1.0f, 0.5f, 1.0f, 500, -1001},  {1.0f, 0.0f, 0.25f, 250, -251},
        {2.0f, -3.0f, 1.0f, 1000, 0},    {0.0f, 0.0f, 1.0f, 0, 0},
    };
    const Sound sound = Frames({1000, -1001});
    for (const Case& c : cases) {
        audio.SetMasterVolume(c.master);
        ASSERT_EQ(audio.Play(sound, c.volume, c.pan), Ok);
        EXPECT_EQ(Render(1), (std::vector<int16_t>{c.left, c.right}))
            << "volume " << c.volume << " pan " << c.pan << " master " << c.master;
    }
}

TEST_F(MixerTest, VoicesSumAndClipTo16Bits) {
    const Sound loud = Frames({30000, -30000, 100, -100});
    ASSERT_EQ(audio.Play(loud), Ok);
    ASSERT_EQ(audio.Play(loud), Ok);
    EXPECT_EQ(Render(3), (std::vector<int16_t>{32767, -32768, 200, -200, 0, 0}));
}

TEST_F(MixerTest, LoopRepeatsUntilStoppedAndOneShotEnds) {
    const Sound sound = Frames({1, 1, 2, 2, 3, 3});
    Voice looping, once;
    ASSERT_EQ(audio.Play(sound, 1.0f, 0.0f, true, &looping), Ok);
    ASSERT_EQ(audio.Play(sound, 1.0f, 0.0f, false, &once), Ok);
    EXPECT_EQ(Render(5), (std::vector<int16_t>{2, 2, 4, 4, 6, 6, 1, 1, 2, 2}));
    EXPECT_TRUE(audio.IsPlaying(looping));
    EXPECT_FALSE(audio.IsPlaying(once));
    EXPECT_EQ(audio.Stop(once), Fail);
    ASSERT_EQ(audio.SetVolume(looping, 0.5f), Ok);
    EXPECT_EQ(Render(1), (std::vector<int16_t>{1, 1}));
    ASSERT_EQ(audio.Stop(looping), Ok);
    EXPECT_EQ(Render(1), (std::vector<int16_t>{0, 0}));
    EXPECT_EQ(audio.Stop(looping), Fail);
    EXPECT_EQ(audio.SetVolume(Voice{}, 1.0f), Fail);
}

TEST_F(MixerTest, PastTheLimitTheOldestOneShotGivesWayAndAllLoopingRefuses) {
    const Sound sound = Frames(std::vector<int16_t>(200, 1));
    std::vector<Voice> voices(VoiceLimit);
    ASSERT_EQ(audio.Play(sound, 1.0f, 0.0f, true, &voices[0]), Ok);
    for (uint32_t i = 1; i < VoiceLimit; ++i)
        ASSERT_EQ(audio.Play(sound, 1.0f, 0.0f, false, &voices[i]), Ok);
    Voice extra;
    ASSERT_EQ(audio.Play(sound, 1.0f, 0.0f, false, &extra), Ok);
    // Voice 0 loops, so voice 1, the oldest one-shot, is the one taken.
    EXPECT_TRUE(audio.IsPlaying(voices[0]));
    EXPECT_FALSE(audio.IsPlaying(voices[1]));
    EXPECT_TRUE(audio.IsPlaying(extra));
    EXPECT_EQ(Render(1), (std::vector<int16_t>{32, 32}));

    audio.StopAll();
    for (uint32_t i = 0; i < VoiceLimit; ++i) ASSERT_EQ(audio.Play(sound, 1.0f, 0.0f, true), Ok);
    Voice refused{99};
    EXPECT_EQ(audio.Play(sound, 1.0f, 0.0f, false, &refused), Fail);
    EXPECT_EQ(refused.serial, 0u);
    EXPECT_EQ(Render(1), (std::vector<int16_t>{32, 32}));
}

TEST_F(MixerTest, MusicPausesWhereItIsAndResumesThere) {
    const Sound music = Frames({1, -1, 2, -2, 3, -3});
    ASSERT_EQ(audio.PlayMusic(music), Ok);
    EXPECT_EQ(Render(1), (std::vector<int16_t>{1, -1}));
    ASSERT_EQ(audio.PauseMusic(), Ok);
    EXPECT_EQ(audio.PauseMusic(), Fail);
    EXPECT_EQ(audio.GetMusicState(), MusicState::Paused);
    EXPECT_EQ(Render(2), (std::vector<int16_t>{0, 0, 0, 0}));
    ASSERT_EQ(audio.ResumeMusic(), Ok);
    audio.SetMusicVolume(0.5f);
    EXPECT_EQ(Render(3), (std::vector<int16_t>{1, -1, 1, -2, 0, -1}));
    audio.StopMusic();
    EXPECT_EQ(audio.GetMusicState(), MusicState::Stopped);
    EXPECT_EQ(audio.ResumeMusic(), Fail);

    ASSERT_EQ(audio.PlayMusic(music, false), Ok);
    Render(3);
    EXPECT_EQ(audio.GetMusicState(), MusicState::Stopped);
}

TEST_F(MixerTest, EffectsPastTheLimitLeaveTheMusicAlone) {
    const Sound sound = Frames({0, 0, 0, 0});
    ASSERT_EQ(audio.PlayMusic(Frames({5, 5})), Ok);
    for (uint32_t i = 0; i < VoiceLimit * 2; ++i) ASSERT_EQ(audio.Play(sound), Ok);
    EXPECT_EQ(Render(1), (std::vector<int16_t>{5, 5}));
}

TEST_F(MixerTest, NoDeviceOrALostOneMakesTheEngineSilentWithoutFailingTheGame) {
    const Sound sound = Frames({7, 7});
    EXPECT_EQ(audio.Play(Sound{}), Fail);
    EXPECT_FALSE(device->IsOpen());

    ASSERT_EQ(audio.PlayMusic(sound), Ok);
    Voice voice;
    ASSERT_EQ(audio.Play(sound, 1.0f, 0.0f, true, &voice), Ok);
    device->Lose();
    EXPECT_FALSE(audio.IsPlaying(voice));
    EXPECT_TRUE(audio.Silent());
    EXPECT_FALSE(device->IsOpen());
    EXPECT_EQ(audio.GetMusicState(), MusicState::Stopped);
    EXPECT_EQ(audio.Play(sound), Fail);

    auto refusing = std::make_unique<AudioDevice_Headless>();
    refusing->refuseOpen = true;
    audio.UseDevice(std::move(refusing));
    EXPECT_FALSE(audio.Silent());
    EXPECT_EQ(audio.Play(sound), Fail);
    EXPECT_EQ(audio.PlayMusic(sound), Fail);
    EXPECT_TRUE(audio.Silent());

    audio.UseDevice(nullptr);
    EXPECT_EQ(audio.Play(sound), Fail);
}

TEST(MixerChunks, LongSoundsMixWithoutDroppingFrames) {
    Audio audio;
    auto owned = std::make_unique<AudioDevice_Headless>();
    AudioDevice_Headless* device = owned.get();
    audio.UseDevice(std::move(owned));
    std::vector<int16_t> ramp(2000);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int16_t>(i);
    Sound sound;
    ASSERT_EQ(sound.SetSamples(ramp), Ok);
    ASSERT_EQ(audio.Play(sound), Ok);
    std::vector<int16_t> expected = ramp;
    expected.resize(2400, 0);
    EXPECT_EQ(device->Render(1200), expected);
}

} // namespace
} // namespace dral
