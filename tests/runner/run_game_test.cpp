// RunGame's command line: bounded runs that count their frames, a screenshot of the last frame, a
// recording that replays the same frames, and exit codes for runs that fail or options it does
// not understand. The desktop run (no options) is what the examples' window tests cover.
#include "runner/run_game.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace dral {
namespace {

// A game that paints its frame number and ends itself after `lastFrame` frames (0: never).
class Game : public Tesserine {
  public:
    explicit Game(int last = 0) : lastFrame(last) { Setup(32, 24, 1, 1); }
    bool OnCreate() override { return true; }
    bool OnUpdate(float) override {
        ++frames;
        Clear(Pixel(uint8_t(frames * 40), 0, 0, 255));
        return lastFrame == 0 || frames < lastFrame;
    }
    int frames = 0;
    const int lastFrame;
};

int Start(Game& game, std::vector<std::string> args) {
    args.insert(args.begin(), "game");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    return RunGame(game, static_cast<int>(argv.size()), argv.data());
}

class RunGameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("tesserine-run-game-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::string File(const char* name) const { return (folder / name).string(); }

    std::filesystem::path folder;
};

TEST_F(RunGameTest, CommandLinesNotUnderstoodRunNothing) {
    const std::vector<std::vector<std::string>> lines = {
        {"--frames"},
        {"--frames", "0"},
        {"--frames", "3x"},
        {"--frames", "-2"},
        {"--screenshot", ""},
        {"--fast"},
        {"--replay", "r", "--frames", "2"},
        {"--replay", "r", "--record", "s"},
    };
    for (const auto& line : lines) {
        SCOPED_TRACE(line[0] + (line.size() > 1 ? " " + line[1] : ""));
        Game game;
        EXPECT_EQ(Start(game, line), 2);
        EXPECT_EQ(game.frames, 0);
    }
    Game game;
    EXPECT_EQ(Start(game, {"--frames", "2", "--help"}), 0);
    EXPECT_EQ(game.frames, 0);
}

TEST_F(RunGameTest, BoundedRunsCountTheirFrames) {
    Game bounded;
    EXPECT_EQ(Start(bounded, {"--frames", "5"}), 0);
    EXPECT_EQ(bounded.frames, 5);
    Game early(3); // ends itself before the frames asked for
    EXPECT_EQ(Start(early, {"--frames", "5"}), 1);
    EXPECT_EQ(early.frames, 3);
    Game own(4); // without a bound it runs until it ends itself
    EXPECT_EQ(Start(own, {"--headless"}), 0);
    EXPECT_EQ(own.frames, 4);
}

TEST_F(RunGameTest, ScreenshotSavesTheLastFrame) {
    Game game;
    EXPECT_EQ(Start(game, {"--frames", "3", "--screenshot", File("shot.png")}), 0);
    std::ifstream png(File("shot.png"), std::ios::binary);
    std::string head(8, '\0');
    png.read(head.data(), 8);
    EXPECT_EQ(head, "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(game.frames, 3);

    Game unwritable;
    EXPECT_EQ(Start(unwritable, {"--frames", "1", "--screenshot", File("no/such/shot.png")}), 1);
}

TEST_F(RunGameTest, ARecordedRunReplaysItsFrames) {
    Game recorded(0);
    ASSERT_EQ(Start(recorded, {"--frames", "4", "--record", File("run.rec")}), 0);
    Game replayed;
    EXPECT_EQ(Start(replayed, {"--replay", File("run.rec"), "--screenshot", File("end.png")}), 0);
    EXPECT_EQ(replayed.frames, 4);
    EXPECT_TRUE(std::filesystem::exists(File("end.png")));

    Game missing;
    EXPECT_EQ(Start(missing, {"--replay", File("none.rec")}), 1);
    Game unrecordable;
    EXPECT_EQ(Start(unrecordable, {"--frames", "1", "--record", File("no/such/run.rec")}), 1);
    EXPECT_EQ(unrecordable.frames, 0);
}

} // namespace
} // namespace dral
