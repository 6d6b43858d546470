// Crumbolt's rules, tick by tick on the headless back-ends with fixed frame times and a fixed
// random seed: spawning, falling and parking, the strict collision, the clamp, the death screen,
// restart, Escape, and the media commands the game sends.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "game/crumbolt.h"
#include "game/media_command.h"
#include "support/headless_engine.h"

namespace crumbolt {
namespace {

using dral::Key;
using dral::Pixel;

class Rules : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetState();
        std::srand(1234);
        SetMediaCommandSink([this](const char* command) { commands.emplace_back(command); });
        game.Prepare();
        dral::running = true;
    }
    void TearDown() override { SetMediaCommandSink({}); }

    void Hold(Key k, bool down = true) { game.UpdateKeyState(static_cast<int32_t>(k), down); }
    void Tick(int count = 1) {
        for (int i = 0; i < count; i++) game.RunFrameFor(TickLength);
    }
    Pixel At(int32_t x, int32_t y) const { return game.GetDrawTarget()->GetPixel(x, y); }
    void Fill(Pixel p) {
        dral::Sprite* target = game.GetDrawTarget();
        for (int32_t i = 0; i < target->width * target->height; i++) target->pixels[i] = p;
    }
    // Pixels of colour p inside the rectangle [x0, x1) x [y0, y1).
    int Count(Pixel p, int32_t x0, int32_t y0, int32_t x1, int32_t y1) const {
        int n = 0;
        for (int32_t y = y0; y < y1; y++)
            for (int32_t x = x0; x < x1; x++) n += At(x, y) == p;
        return n;
    }
    int CountOnScreen(Pixel p) const { return Count(p, 0, 0, 800, 600); }
    // Parks every record, so that only the boxes a test places take part.
    void ParkAll() {
        for (Box& b : state.boxes) b = {0, ParkingRow, 0, 0};
    }
    // Whether the rectangle [x, x + 8 * text.size()) x [y, y + 8) of the target shows exactly
    // text in colour, as the engine's own DrawString draws it.
    bool ShowsText(int32_t x, int32_t y, const std::string& text, Pixel colour) {
        const int32_t w = static_cast<int32_t>(text.size()) * 8;
        std::vector<Pixel> shown;
        for (int32_t j = y; j < y + 8; j++)
            for (int32_t i = x; i < x + w; i++) shown.push_back(At(i, j));
        for (int32_t j = y; j < y + 8; j++)
            for (int32_t i = x; i < x + w; i++) game.GetDrawTarget()->SetPixel(i, j, dral::Black);
        game.DrawString(x, y, text, colour, 1);
        size_t k = 0;
        bool same = true;
        for (int32_t j = y; j < y + 8; j++)
            for (int32_t i = x; i < x + w; i++) same = same && At(i, j) == shown[k++];
        return same && Count(colour, x, y, x + w, y + 8) > 0;
    }

    dral::testing::HeadlessEngine<Crumbolt> game{800, 600};
    std::vector<std::string> commands;
};

TEST_F(Rules, InitialStateOnCreateOpensAndPlaysOnDestroyClosesTheMusic) {
    EXPECT_EQ(state.playerX, 400.0f);
    EXPECT_EQ(state.playerY, 300.0f);
    EXPECT_EQ(state.spawnInterval, 100);
    EXPECT_EQ(MoveSpeed * TickLength, 1.0f);
    EXPECT_TRUE(game.OnCreate());
    EXPECT_EQ(commands, (std::vector<std::string>{"open \"crumbolt.mp3\" type mpegvideo alias mp3",
                                                  "play mp3 repeat"}));
    commands.clear();
    EXPECT_TRUE(game.OnDestroy());
    EXPECT_EQ(commands, std::vector<std::string>{"close mp3"});
}

TEST_F(Rules, FirstSpawnOnTick95ThenEveryInterval) {
    std::srand(77);
    const int x = std::rand() % 800, w = std::rand() % 30 + 10, h = std::rand() % 30 + 10;
    std::srand(77);
    Tick();
    EXPECT_EQ(state.spawnInterval, 95);
    EXPECT_EQ(state.tickCount, 1);
    Tick(93);
    EXPECT_EQ(state.nextBox, 0);
    Tick(); // tick 95
    ASSERT_EQ(state.nextBox, 1);
    EXPECT_EQ(state.boxes[0].x, x);
    EXPECT_EQ(state.boxes[0].y, 1); // spawned at 0 and moved in the same tick
    EXPECT_EQ(state.boxes[0].width, w);
    EXPECT_EQ(state.boxes[0].height, h);
    EXPECT_EQ(At(x, 1), dral::White);
    EXPECT_EQ(At(x + w, 1 + h), dral::White);
    Tick(94);
    EXPECT_EQ(state.nextBox, 1);
    Tick();
    EXPECT_EQ(state.nextBox, 2);
}

TEST_F(Rules, SpawnIntervalStepsDownEveryThousandTicksToTen) {
    ParkAll();
    state.playerY = 580.0f; // nothing spawned in these ticks falls far enough
    state.tickCount = 999;
    state.spawnInterval = 95;
    Tick(); // the test sees 999, then counts to 1000
    EXPECT_EQ(state.spawnInterval, 95);
    Tick(); // sees 1000
    EXPECT_EQ(state.spawnInterval, 90);
    EXPECT_EQ(state.tickCount, 1001);

    state.tickCount = 17000;
    state.spawnInterval = 15;
    Tick();
    EXPECT_EQ(state.spawnInterval, 10);
    state.tickCount = 18000;
    Tick();
    EXPECT_EQ(state.spawnInterval, 10);
}

TEST_F(Rules, SpawnsOverwriteTheRingOfRecords) {
    ParkAll();
    state.nextBox = BoxCount;
    state.tickCount = 94;
    state.spawnInterval = 95;
    Tick();
    EXPECT_EQ(state.nextBox, 1);
    EXPECT_EQ(state.boxes[0].y, 1);
}

TEST_F(Rules, BoxesFallOnePixelPerTickAndParkAfterRow601) {
    ParkAll();
    state.boxes[3] = {100, 10, 10, 10};
    state.boxes[4] = {200, 600, 10, 10};
    state.boxes[5] = {300, 601, 10, 10};
    Tick();
    EXPECT_EQ(state.boxes[3].y, 11);
    EXPECT_EQ(state.boxes[4].y, ParkingRow); // moved to 601, drawn below the screen, parked
    EXPECT_EQ(state.boxes[5].y, ParkingRow);
    EXPECT_EQ(At(100, 11), dral::White);
    EXPECT_EQ(At(110, 21), dral::White);
    EXPECT_EQ(At(105, 16), dral::Black);
    EXPECT_EQ(At(100, 10), dral::Black);
    Tick();
    EXPECT_EQ(state.boxes[3].y, 12);
    EXPECT_EQ(At(100, 11), dral::Black);
    EXPECT_EQ(At(100, 12), dral::White);
}

TEST_F(Rules, AfterProgramStartOnePixelFallsDownColumnZero) {
    for (int t = 1; t <= 3; t++) {
        Tick();
        EXPECT_EQ(At(0, t), dral::White) << "tick " << t;
        EXPECT_EQ(At(0, t - 1), dral::Black) << "tick " << t;
        EXPECT_EQ(At(1, t), dral::Black) << "tick " << t;
    }
    Tick(597);
    EXPECT_EQ(state.boxes[BoxCount - 1].y, 600);
    EXPECT_EQ(At(0, 599), dral::Black); // at 600, below the last row
    ASSERT_FALSE(state.isDead);
    Tick();
    EXPECT_EQ(state.boxes[BoxCount - 1].y, ParkingRow);
}

struct CollisionCase {
    Box box;
    bool touches;
};

TEST_F(Rules, CollisionIsStrictAtEveryEdge) {
    // The player stands at (100, 300), covering [100, 120) x [300, 320).
    const CollisionCase cases[] = {
        {{120, 305, 10, 10}, false}, {{119, 305, 10, 10}, true}, // right
        {{80, 305, 20, 10}, false},  {{80, 305, 21, 10}, true},  // left
        {{105, 320, 10, 10}, false}, {{105, 319, 10, 10}, true}, // bottom
        {{105, 280, 10, 20}, false}, {{105, 280, 10, 21}, true}, // top
    };
    for (const CollisionCase& c : cases) {
        ResetState();
        ParkAll();
        state.playerX = 100.0f;
        state.playerY = 300.0f;
        state.boxes[7] = c.box;
        Tick();
        EXPECT_EQ(state.isDead, c.touches) << c.box.x << "," << c.box.y;
        // A colliding box stays where it was; a free one falls.
        EXPECT_EQ(state.boxes[7].y, c.touches ? c.box.y : c.box.y + 1);
    }
}

TEST_F(Rules, ACollisionEndsTheBoxPassAtItsRecord) {
    ParkAll();
    state.playerX = 100.0f;
    state.playerY = 300.0f;
    state.boxes[9] = {500, 50, 10, 10};
    state.boxes[10] = {110, 310, 10, 10};
    state.boxes[11] = {600, 50, 10, 10};
    state.boxes[12] = {0, 600, 0, 0};
    Tick();
    ASSERT_TRUE(state.isDead);
    EXPECT_EQ(state.boxes[9].y, 51);
    EXPECT_EQ(state.boxes[11].y, 50);
    EXPECT_EQ(state.boxes[12].y, 600); // not moved, so not parked either
    EXPECT_EQ(At(500, 51), dral::White);
    EXPECT_EQ(At(600, 50), dral::Black);
    // The player and both death texts show in the same tick.
    EXPECT_EQ(At(100, 300), dral::Blue);
    EXPECT_EQ(At(120, 320), dral::Blue);
    EXPECT_TRUE(ShowsText(400, 200, "You died. Your score is: 1", dral::Red));
    EXPECT_TRUE(ShowsText(400, 160, "Press space to start again", dral::Red));
}

TEST_F(Rules, PastAnEdgeThePlayerJumpsTwentyPixelsInside) {
    ParkAll();
    struct Case {
        float x, y;
        Key key;
        float wantX, wantY;
    };
    const Case cases[] = {
        {0.0f, 300.0f, Key::A, 20.0f, 300.0f},    {799.0f, 300.0f, Key::D, 800.0f, 300.0f},
        {800.0f, 300.0f, Key::D, 780.0f, 300.0f}, {400.0f, 0.0f, Key::W, 400.0f, 20.0f},
        {400.0f, 599.0f, Key::S, 400.0f, 600.0f}, {400.0f, 600.0f, Key::S, 400.0f, 580.0f},
    };
    for (const Case& c : cases) {
        state.playerX = c.x;
        state.playerY = c.y;
        Hold(c.key);
        Tick();
        Hold(c.key, false);
        EXPECT_EQ(state.playerX, c.wantX) << c.x << "," << c.y;
        EXPECT_EQ(state.playerY, c.wantY) << c.x << "," << c.y;
    }
    ASSERT_FALSE(state.isDead);
}

TEST_F(Rules, OpposingKeysCancel) {
    ParkAll();
    Hold(Key::W);
    Hold(Key::S);
    Tick(5);
    EXPECT_EQ(state.playerY, 300.0f);
    Hold(Key::A);
    Hold(Key::D);
    Tick(5);
    EXPECT_EQ(state.playerX, 400.0f);
    Hold(Key::W, false);
    Hold(Key::A, false);
    Tick(5);
    EXPECT_EQ(state.playerX, 405.0f);
    EXPECT_EQ(state.playerY, 305.0f);
    EXPECT_EQ(At(405, 305), dral::Blue);
}

TEST_F(Rules, DeathFreezesTheScoreHidesTheBoxesAndStopsTheMusicEveryTick) {
    ParkAll();
    Tick(41);
    state.boxes[0] = {50, 50, 10, 10};
    state.boxes[1] = {410, 295, 10, 10};
    Tick(); // dies on tick 42
    ASSERT_TRUE(state.isDead);
    EXPECT_EQ(commands, std::vector<std::string>{"stop mp3"});
    Hold(Key::D);
    Tick(5);
    EXPECT_EQ(state.tickCount, 42);
    EXPECT_EQ(state.playerX, 400.0f); // no movement while dead
    EXPECT_EQ(commands, std::vector<std::string>(6, "stop mp3"));
    EXPECT_EQ(state.boxes[0].y, 51); // moved before the collision, never again
    EXPECT_EQ(CountOnScreen(dral::White) - Count(dral::White, 700, 20, 800, 28), 0);
    EXPECT_TRUE(ShowsText(700, 20, "Score: 42", dral::White));
    EXPECT_TRUE(ShowsText(400, 200, "You died. Your score is: 42", dral::Red));
}

TEST_F(Rules, SpaceRestartsOnlyFromTheDeathScreen) {
    ParkAll();
    Hold(Key::Space);
    Tick(3);
    EXPECT_EQ(state.tickCount, 3);
    EXPECT_TRUE(commands.empty());

    // Held in the collision tick: the death texts are drawn once, then the run restarts.
    state.playerX = 100.0f;
    state.boxes[0] = {110, 310, 10, 10};
    state.boxes[1] = {50, 50, 10, 10};
    Tick();
    EXPECT_FALSE(state.isDead);
    EXPECT_EQ(commands, (std::vector<std::string>{"stop mp3", "play mp3 repeat"}));
    EXPECT_TRUE(ShowsText(400, 160, "Press space to start again", dral::Red));
    EXPECT_EQ(state.playerX, 400.0f);
    EXPECT_EQ(state.playerY, 300.0f);
    EXPECT_EQ(state.tickCount, 0);
    EXPECT_EQ(state.spawnInterval, 100);
    for (const Box& b : state.boxes) ASSERT_EQ(b.y, ParkingRow);
    EXPECT_EQ(state.boxes[1].x, 50); // parked, the rest kept

    Tick();
    EXPECT_EQ(state.tickCount, 1);
    EXPECT_EQ(state.spawnInterval, 95);
    EXPECT_EQ(CountOnScreen(dral::Red), 0);
    EXPECT_TRUE(ShowsText(700, 20, "Score: 1", dral::White));
}

TEST_F(Rules, DeathOnAThousandStepsTheIntervalDownEveryDeadTickUntilRestart) {
    ParkAll();
    state.tickCount = 1999;
    state.spawnInterval = 95;
    state.boxes[0] = {410, 295, 10, 10};
    Tick(); // counts to 2000 and dies
    ASSERT_TRUE(state.isDead);
    Tick(20);
    EXPECT_EQ(state.spawnInterval, 10);
    Hold(Key::Space);
    Tick();
    EXPECT_EQ(state.spawnInterval, 100);
    Tick();
    EXPECT_EQ(state.spawnInterval, 95);
}

TEST_F(Rules, EscapeEndsTheGameOnTickFramesOnly) {
    Hold(Key::Escape);
    game.RunFrameFor(0.001f);
    EXPECT_TRUE(dral::running);
    game.RunFrameFor(0.001f); // completes a tick
    EXPECT_FALSE(dral::running);

    dral::running = true;
    ResetState();
    ParkAll();
    state.isDead = true;
    Tick();
    EXPECT_FALSE(dral::running); // dead or alive
}

TEST_F(Rules, AtMostOneTickPerFrame) {
    Fill(dral::Magenta);
    game.RunFrameFor(0.001f);
    EXPECT_EQ(state.tickCount, 0);
    EXPECT_EQ(CountOnScreen(dral::Magenta), 800 * 600); // nothing drawn

    game.RunFrameFor(0.05f);
    EXPECT_EQ(state.tickCount, 1);
    EXPECT_FLOAT_EQ(state.tickAccumulator, 0.049f);
    game.RunFrameFor(0.0f);
    EXPECT_EQ(state.tickCount, 2);
    EXPECT_EQ(CountOnScreen(dral::Magenta), 0);
}

} // namespace
} // namespace crumbolt
