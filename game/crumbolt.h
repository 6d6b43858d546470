// Crumbolt, the arcade game on the engine: boxes fall from the top of an 800 x 600 screen, the
// player steers a square with W, A, S and D, and the score counts the ticks survived.
// The game's state is process-wide, as the game has one run at a time; tests reset it.
#pragma once

#include <array>
#include <cstdint>

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
inline constexpr float PlayerSize = 20.0f;
inline constexpr int32_t FallLimit = 601;
// Boxes that have left the screen wait here, out of the player's reach.
inline constexpr int32_t ParkingRow = 800;
static_assert(ParkingRow > GameScreenHeight, "parked boxes must be off the screen");

inline constexpr const char* OpenMusic = "open \"crumbolt.mp3\" type mpegvideo alias mp3";
inline constexpr const char* PlayMusic = "play mp3 repeat";
inline constexpr const char* StopMusic = "stop mp3";
inline constexpr const char* CloseMusic = "close mp3";

struct State {
    float playerX = 400.0f;
    float playerY = 300.0f;
    float tickAccumulator = 0.0f;
    int32_t tickCount = 0;
    int32_t nextBox = 0;
    int32_t spawnInterval = 100;
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
    void MovePlayer(float dt);
    void SpawnBox();
    void BoxPass(float dt);
};

} // namespace crumbolt
