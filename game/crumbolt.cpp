// Crumbolt's tick: at most one per frame, then movement, spawning, the box pass with its strict
// collision, and the drawing of the boxes, the player, the score and the death screen.
#include "game/crumbolt.h"

#include <cstdlib>
#include <string>

#include "game/media_command.h"

namespace crumbolt {

State state;

void ResetState() {
    state = State{};
}

Crumbolt::Crumbolt() {
    appName = "Crumbolt";
}

bool Crumbolt::OnCreate() {
    SendMediaCommand(OpenMusic);
    SendMediaCommand(PlayMusic);
    return true;
}

bool Crumbolt::OnUpdate(float elapsedSeconds) {
    State& s = state;
    // A frame takes at most one tick, and only one tick's time, from the accumulator: a slow
    // machine runs the game slower instead of in bursts.
    s.tickAccumulator += elapsedSeconds;
    if (s.tickAccumulator < TickLength) return true;
    s.tickAccumulator -= TickLength;
    const float dt = TickLength;

    if (s.nextBox == BoxCount) s.nextBox = 0;
    if (s.tickCount % 1000 == 0) s.spawnInterval -= 5;
    if (s.spawnInterval < 10) s.spawnInterval = 10;
    if (!s.isDead) s.tickCount++;
    const std::string score = std::to_string(s.tickCount);

    Clear(dral::Black);
    if (!s.isDead) MovePlayer(dt);
    if (KeyState(dral::Key::Escape).held) return false;
    if (s.tickCount % s.spawnInterval == 0) SpawnBox();

    // Past an edge the player jumps 20 pixels back inside; the right and bottom limits are the
    // screen size itself, so the square may stand partly or wholly beyond those edges.
    constexpr float right = static_cast<float>(GameScreenWidth);
    constexpr float bottom = static_cast<float>(GameScreenHeight);
    if (s.playerX < 0.0f)
        s.playerX = EdgeBounce;
    else if (s.playerX > right)
        s.playerX = right - EdgeBounce;
    if (s.playerY < 0.0f)
        s.playerY = EdgeBounce;
    else if (s.playerY > bottom)
        s.playerY = bottom - EdgeBounce;

    BoxPass(dt);

    DrawRect(static_cast<int32_t>(s.playerX), static_cast<int32_t>(s.playerY), 20, 20, dral::Blue);
    DrawString(700, 20, "Score: " + score, dral::White, 1);
    if (s.isDead) {
        SendMediaCommand(StopMusic);
        DrawString(400, 200, "You died. Your score is: " + score, dral::Red, 1);
        DrawString(400, 160, "Press space to start again", dral::Red, 1);
        if (KeyState(dral::Key::Space).held) {
            s.isDead = false;
            Restart();
        }
    }
    return true;
}

// The music device is closed on the thread that opened it: Windows' media player (under Wine at
// least) crashes the process's exit when a device is still open.
bool Crumbolt::OnDestroy() {
    SendMediaCommand(CloseMusic);
    return true;
}

void Crumbolt::MovePlayer(float dt) {
    const float step = MoveSpeed * dt;
    if (KeyState(dral::Key::W).held) state.playerY -= step;
    if (KeyState(dral::Key::S).held) state.playerY += step;
    if (KeyState(dral::Key::A).held) state.playerX -= step;
    if (KeyState(dral::Key::D).held) state.playerX += step;
}

void Crumbolt::SpawnBox() {
    Box& b = state.boxes[static_cast<size_t>(state.nextBox)];
    // The draws are separate statements so that their order is fixed.
    b.x = std::rand() % GameScreenWidth;
    b.y = 0;
    b.width = std::rand() % 30 + 10;
    b.height = std::rand() % 30 + 10;
    state.nextBox++;
}

void Crumbolt::BoxPass(float dt) {
    State& s = state;
    for (Box& b : s.boxes) {
        // Strict: touching edges do not collide. The first colliding record ends the pass, so
        // it and every later record keep their positions and are not drawn in this tick.
        if (s.playerX + PlayerSize > static_cast<float>(b.x) &&
            static_cast<float>(b.x + b.width) > s.playerX &&
            s.playerY + PlayerSize > static_cast<float>(b.y) &&
            static_cast<float>(b.y + b.height) > s.playerY) {
            s.isDead = true;
            return;
        }
        if (b.y < FallLimit && !s.isDead) {
            b.y = static_cast<int32_t>(static_cast<float>(b.y) + MoveSpeed * dt);
            DrawRect(b.x, b.y, b.width, b.height, dral::White);
        }
        if (b.y == FallLimit) b.y = ParkingRow;
    }
}

void Crumbolt::Restart() {
    SendMediaCommand(PlayMusic);
    state.playerX = 400.0f;
    state.playerY = 300.0f;
    state.tickCount = 0;
    state.nextBox = 0;
    state.spawnInterval = 100;
    for (Box& b : state.boxes) b.y = ParkingRow;
}

} // namespace crumbolt
