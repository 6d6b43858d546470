// Crumbolt's tick: at most one per frame, then movement, spawning, the box pass with its strict
// collision, and the drawing of the boxes, the player, the score and the death screen. The file
// a new game copies: rules in small steps, named numbers, the engine's calls only.
// Depends on the engine (engine/tesserine.h) and the game's music commands (media_command.h).
#include "game/crumbolt.h"

#include <charconv>
#include <cstdlib>
#include <string>
#include <string_view>

#include "game/media_command.h"

namespace crumbolt {

State state;

void ResetState() {
    state = State{};
}

namespace {
const std::string RestartPrompt = "Press space to start again";
} // namespace

Crumbolt::Crumbolt() {
    appName = "Crumbolt";
    // Room for the longest texts up front, so that no frame, alive or dead, touches the heap.
    scoreText.reserve(32);
    deathText.reserve(48);
}

bool Crumbolt::OnCreate() {
    SendMediaCommand(OpenMusic);
    SendMediaCommand(PlayMusic);
    return true;
}

// One tick at most per frame, in this order: the clock, movement, Escape, spawning, the edges,
// the box pass (which moves, draws and collides), then the player, the score and the death
// screen drawn over it all.
bool Crumbolt::OnUpdate(float elapsedSeconds) {
    if (!TakeTick(elapsedSeconds)) return true;
    AdvanceClock();
    Clear(dral::Black);
    if (!state.isDead) MovePlayer(TickLength);
    if (KeyState(dral::Key::Escape).held) return false;
    if (state.tickCount % state.spawnInterval == 0) SpawnBox();
    BouncePlayerOffEdges();
    BoxPass(TickLength);

    char digits[16];
    const std::string_view score(
        digits, static_cast<size_t>(
                    std::to_chars(digits, digits + sizeof digits, state.tickCount).ptr - digits));
    DrawPlayerAndScore(score);
    if (state.isDead) ShowDeathScreen(score);
    return true;
}

// A frame takes at most one tick, and only one tick's time, from the accumulator: a slow
// machine runs the game slower instead of in bursts.
bool Crumbolt::TakeTick(float elapsedSeconds) {
    state.tickAccumulator += elapsedSeconds;
    if (state.tickAccumulator < TickLength) return false;
    state.tickAccumulator -= TickLength;
    return true;
}

// The box ring wraps, the spawn interval ramps down, and the score counts living ticks.
void Crumbolt::AdvanceClock() {
    State& s = state;
    if (s.nextBox == BoxCount) s.nextBox = 0;
    if (s.tickCount % SpawnRampTicks == 0) s.spawnInterval -= SpawnRampStep;
    if (s.spawnInterval < MinSpawnInterval) s.spawnInterval = MinSpawnInterval;
    if (!s.isDead) s.tickCount++;
}

// Past an edge the player jumps EdgeBounce pixels back inside; the right and bottom limits are
// the screen size itself, so the square may stand partly or wholly beyond those edges.
void Crumbolt::BouncePlayerOffEdges() {
    constexpr float right = static_cast<float>(GameScreenWidth);
    constexpr float bottom = static_cast<float>(GameScreenHeight);
    State& s = state;
    if (s.playerX < 0.0f)
        s.playerX = EdgeBounce;
    else if (s.playerX > right)
        s.playerX = right - EdgeBounce;
    if (s.playerY < 0.0f)
        s.playerY = EdgeBounce;
    else if (s.playerY > bottom)
        s.playerY = bottom - EdgeBounce;
}

void Crumbolt::DrawPlayerAndScore(std::string_view score) {
    constexpr int32_t side = static_cast<int32_t>(PlayerSize);
    DrawRect(static_cast<int32_t>(state.playerX), static_cast<int32_t>(state.playerY), side, side,
             dral::Blue);
    DrawString(ScoreTextAt.x, ScoreTextAt.y, scoreText.assign("Score: ").append(score), dral::White,
               1);
}

// While dead the music stays stopped (the stop is sent every tick) until Space starts a new run.
void Crumbolt::ShowDeathScreen(std::string_view score) {
    SendMediaCommand(StopMusic);
    DrawString(DeathTextAt.x, DeathTextAt.y,
               deathText.assign("You died. Your score is: ").append(score), dral::Red, 1);
    DrawString(RestartPromptAt.x, RestartPromptAt.y, RestartPrompt, dral::Red, 1);
    if (KeyState(dral::Key::Space).held) {
        state.isDead = false;
        Restart();
    }
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

// A new run keeps the tick accumulator and the boxes' columns and sizes: only the player, the
// clock and the box ring start again, and every box is parked.
void Crumbolt::Restart() {
    SendMediaCommand(PlayMusic);
    const State start{};
    state.playerX = start.playerX;
    state.playerY = start.playerY;
    state.tickCount = start.tickCount;
    state.nextBox = start.nextBox;
    state.spawnInterval = start.spawnInterval;
    for (Box& b : state.boxes) b.y = ParkingRow;
}

} // namespace crumbolt
