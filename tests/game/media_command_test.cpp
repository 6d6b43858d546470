// The media-command player on the engine's sound with the headless audio device: the game's
// commands, and silence instead of failure for anything else.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "audio/headless/audio_headless.h"
#include "engine/tesserine.h"
#include "game/media_command.h"

namespace crumbolt {
namespace {

std::string OpenCommand(const std::string& file) {
    return "open \"" + file + "\" type mpegvideo alias mp3";
}

class MediaCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto owned = std::make_unique<dral::AudioDevice_Headless>();
        device = owned.get();
        engine.GetAudio().UseDevice(std::move(owned));
    }
    dral::MusicState State() { return engine.GetAudio().GetMusicState(); }
    bool Audible() {
        const std::vector<int16_t> samples = device->Render(4800);
        return std::any_of(samples.begin(), samples.end(), [](int16_t s) { return s != 0; });
    }

    dral::Tesserine engine;
    dral::AudioDevice_Headless* device = nullptr;
};

TEST_F(MediaCommandTest, PlaysLoopsStopsAndIgnoresEverythingElse) {
    // Nothing is open: commands for the alias do nothing.
    PlayMediaCommand("play mp3 repeat");
    PlayMediaCommand("stop mp3");
    EXPECT_FALSE(device->IsOpen());

    // A missing file or a malformed open leaves nothing open and no device held.
    PlayMediaCommand(OpenCommand("no-such-file.mp3").c_str());
    PlayMediaCommand("open \"" CRUMBOLT_MUSIC " type mpegvideo alias mp3");
    PlayMediaCommand(("open \"" CRUMBOLT_MUSIC "\" type waveaudio alias mp3"));
    PlayMediaCommand(nullptr);
    PlayMediaCommand("");
    PlayMediaCommand("play mp3 repeat");
    EXPECT_FALSE(device->IsOpen());
    EXPECT_EQ(State(), dral::MusicState::Stopped);

    PlayMediaCommand(OpenCommand(CRUMBOLT_MUSIC).c_str());
    PlayMediaCommand("play song repeat"); // unknown alias
    PlayMediaCommand("play mp3");         // not the looping form
    EXPECT_EQ(State(), dral::MusicState::Stopped);

    PlayMediaCommand("play mp3 repeat");
    EXPECT_TRUE(device->IsOpen());
    EXPECT_EQ(State(), dral::MusicState::Playing);
    EXPECT_TRUE(Audible());
    PlayMediaCommand("stop song");
    EXPECT_EQ(State(), dral::MusicState::Playing);
    PlayMediaCommand("stop mp3");
    EXPECT_EQ(State(), dral::MusicState::Paused);
    EXPECT_FALSE(Audible());
    PlayMediaCommand("stop mp3"); // the game sends it on every dead tick
    PlayMediaCommand("play mp3 repeat");
    EXPECT_EQ(State(), dral::MusicState::Playing);

    // A second open of the alias is refused; the music plays on.
    PlayMediaCommand(OpenCommand("no-such-file.mp3").c_str());
    EXPECT_EQ(State(), dral::MusicState::Playing);

    // Closing ends the music and lets go of the file; the alias can then be opened again.
    PlayMediaCommand("close song");
    EXPECT_EQ(State(), dral::MusicState::Playing);
    PlayMediaCommand("close mp3");
    EXPECT_EQ(State(), dral::MusicState::Stopped);
    PlayMediaCommand("play mp3 repeat");
    EXPECT_EQ(State(), dral::MusicState::Stopped);
    PlayMediaCommand(OpenCommand(CRUMBOLT_MUSIC).c_str());
    PlayMediaCommand("play mp3 repeat");
    EXPECT_EQ(State(), dral::MusicState::Playing);
    PlayMediaCommand("close mp3");
    EXPECT_FALSE(Audible());
}

TEST(MediaCommand, ASinkReceivesTheCommandsInsteadOfThePlayer) {
    std::string seen;
    SetMediaCommandSink([&seen](const char* command) { seen += command; });
    SendMediaCommand("stop mp3");
    SetMediaCommandSink({});
    EXPECT_EQ(seen, "stop mp3");
}

} // namespace
} // namespace crumbolt
