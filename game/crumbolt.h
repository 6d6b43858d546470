// Crumbolt, the arcade game on the engine: boxes fall from the top of an 800 x 600 screen, the
// player steers a square with W, A, S and D, and the score counts the ticks survived.
// The game's state is process-wide, as the game has one run at a time; tests reset it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/tesserine.h"

namespace crumbolt {

struct Box {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// The logical screen the game is drawn on, in engine pixels.
inline constexpr int32_t GameScreenWidth = 800;
inline constexpr int32_t GameScreenHeight = 600;
// A player pushed past an edge lands this far back inside the screen.
inline constexpr float EdgeBounce = 20.0f;

inline constexpr int32_t BoxCount = 299;
// 0.002 s: with MoveSpeed this makes exactly one pixel per tick in float arithmetic.
inline constexpr float TickLength = 0.002f;
inline constexpr float MoveSpeed = 500.0f;
// The player is a square this many pixels a side, starting at the middle of the screen.
inline constexpr float PlayerSize = 20.0f;
inline constexpr float PlayerStartX = 400.0f;
inline constexpr float PlayerStartY = 300.0f;
// Boxes come every SpawnInterval ticks; every SpawnRampTicks ticks (tick 0 included) the
// interval shrinks by SpawnRampStep, down to MinSpawnInterval.
inline constexpr int32_t FirstSpawnInterval = 100;
inline constexpr int32_t SpawnRampTicks = 1000;
inline constexpr int32_t SpawnRampStep = 5;
inline constexpr int32_t MinSpawnInterval = 10;
// Where the texts start: the score at the top right, the death screen above the middle.
inline constexpr dral::Vec2i ScoreTextAt{700, 20};
inline constexpr dral::Vec2i DeathTextAt{400, 200};
inline constexpr dral::Vec2i RestartPromptAt{400, 160};
inline constexpr int32_t FallLimit = 601;
// Boxes that have left the screen wait here, out of the player's reach.
inline constexpr int32_t ParkingRow = 800;
static_assert(ParkingRow > GameScreenHeight, "parked boxes must be off the screen");

inline constexpr const char* OpenMusic = "open \"crumbolt.mp3\" type mpegvideo alias mp3";
inline constexpr const char* PlayMusic = "play mp3 repeat";
inline constexpr const char* StopMusic = "stop mp3";
inline constexpr const char* CloseMusic = "close mp3";

struct State {
    float playerX = PlayerStartX;
    float playerY = PlayerStartY;
    float tickAccumulator = 0.0f;
    int32_t tickCount = 0;
    int32_t nextBox = 0;
    int32_t spawnInterval = FirstSpawnInterval;
    bool isDead = false;
    std::array<Box, BoxCount> boxes{};
};

extern State state;

// Puts the state back to its values at program start.
void ResetState();

class Crumbolt : public dral::Tesserine {
  public:
    Crumbolt();

    bool OnCreate() override;
    bool OnUpdate(float elapsedSeconds) override;
    bool OnDestroy() override;
    void Restart();

  private:
    // The rules of one tick, in the order they run.
    static bool TakeTick(float elapsedSeconds);
    static void AdvanceClock();
    void MovePlayer(float dt);
    void SpawnBox();
    static void BouncePlayerOffEdges();
    void BoxPass(float dt);
    // The drawing that follows the rules.
    void DrawPlayerAndScore(std::string_view score);
    void ShowDeathScreen(std::string_view score);

    // The score and death texts, rebuilt each tick in storage kept across frames.
    std::string scoreText;
    std::string deathText;
};

} // namespace crumbolt
