// The media-command player on SDL2_mixer with SDL's dummy audio device: the game's commands, and
// silence instead of failure for anything else.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdlib>
#include <string>

#include "game/media_command.h"

namespace crumbolt {
namespace {

std::string OpenCommand(const std::string& file) {
    return "open \"" + file + "\" type mpegvideo alias mp3";
}

TEST(MediaCommand, PlaysLoopsStopsAndIgnoresEverythingElse) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    // Nothing is open: commands for the alias do nothing.
    PlayMediaCommand("play mp3 repeat");
    PlayMediaCommand("stop mp3");
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);

    // A missing file or a malformed open leaves no device behind.
    PlayMediaCommand(OpenCommand("no-such-file.mp3").c_str());
    PlayMediaCommand("open \"" CRUMBOLT_MUSIC " type mpegvideo alias mp3");
    PlayMediaCommand(("open \"" CRUMBOLT_MUSIC "\" type waveaudio alias mp3"));
    PlayMediaCommand(nullptr);
    PlayMediaCommand("");
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    PlayMediaCommand("play mp3 repeat");

    PlayMediaCommand(OpenCommand(CRUMBOLT_MUSIC).c_str());
    ASSERT_NE(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    EXPECT_FALSE(Mix_PlayingMusic());
    PlayMediaCommand("play song repeat"); // unknown alias
    PlayMediaCommand("play mp3");         // not the looping form
    EXPECT_FALSE(Mix_PlayingMusic());

    PlayMediaCommand("play mp3 repeat");
    EXPECT_TRUE(Mix_PlayingMusic());
    EXPECT_FALSE(Mix_PausedMusic());
    PlayMediaCommand("stop song");
    EXPECT_FALSE(Mix_PausedMusic());
    PlayMediaCommand("stop mp3");
    EXPECT_TRUE(Mix_PausedMusic());
    PlayMediaCommand("stop mp3"); // the game sends it on every dead tick
    PlayMediaCommand("play mp3 repeat");
    EXPECT_FALSE(Mix_PausedMusic());
    EXPECT_TRUE(Mix_PlayingMusic());

    // A second open of the alias is refused; the music plays on.
    PlayMediaCommand(OpenCommand("no-such-file.mp3").c_str());
    EXPECT_TRUE(Mix_PlayingMusic());

    // Closing releases the file and the device; the alias can then be opened again.
    PlayMediaCommand("close song");
    EXPECT_TRUE(Mix_PlayingMusic());
    PlayMediaCommand("close mp3");
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    PlayMediaCommand("play mp3 repeat");
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    PlayMediaCommand(OpenCommand(CRUMBOLT_MUSIC).c_str());
    PlayMediaCommand("play mp3 repeat");
    EXPECT_TRUE(Mix_PlayingMusic());
    PlayMediaCommand("close mp3");
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
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
