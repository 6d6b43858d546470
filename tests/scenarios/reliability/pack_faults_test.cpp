// Resource packs when the world misbehaves: a disk that fills up while a pack is written, and a
// pack file cut short while it is open.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>

#include "assets/resource_pack.h"
#include "assets/scratch_dir.h"
#include "engine/sprite.h"

namespace dral {
namespace {

class PackFaults : public testing::ScratchDir {
  protected:
    static std::string Entry(ResourcePack& pack, const std::string& name) {
        const ResourceBuffer buffer = pack.ReadEntry(name);
        return {buffer.bytes.begin(), buffer.bytes.end()};
    }
    static std::vector<std::string> Folder() {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator("."))
            names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
};

// A child process whose files may grow to `limit` bytes only writes the pack; the write must fail
// and leave the existing pack, and nothing else, in the folder.
TEST_F(PackFaults, AFullDiskDuringWritePackKeepsTheOldPack) {
    WriteFile("a.txt", "old contents");
    ResourcePack old;
    ASSERT_TRUE(old.IncludeFile("a.txt"));
    ASSERT_TRUE(old.WritePack("game.pack", "key"));
    const std::string before = ReadFile("game.pack");

    WriteFile("big.bin", std::string(200000, 'b'));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN); // the write then fails with EFBIG instead of a kill
        const rlimit limit{50000, 50000};
        setrlimit(RLIMIT_FSIZE, &limit);
        ResourcePack pack;
        const bool written = pack.IncludeFile("a.txt") && pack.IncludeFile("big.bin") &&
                             pack.WritePack("game.pack", "key");
        _exit(written ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the writer was killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "WritePack reported success on a full disk";

    EXPECT_EQ(ReadFile("game.pack"), before);
    EXPECT_EQ(Folder(), (std::vector<std::string>{"a.txt", "big.bin", "game.pack"}));
    ResourcePack reopened;
    ASSERT_TRUE(reopened.OpenPack("game.pack", "key"));
    EXPECT_EQ(Entry(reopened, "a.txt"), "old contents");
}

// Entries that still lie inside the shortened file read as before; one that was cut reports that
// it is incomplete, and a sprite loaded from it fails instead of showing made-up pixels.
TEST_F(PackFaults, APackCutShortWhileOpenGivesReadableFailures) {
    Sprite sprite(3, 2);
    for (int32_t i = 0; i < 6; i++) sprite.pixels[i] = Pixel(uint8_t(i), 2, 3, 255);
    ASSERT_EQ(sprite.SaveToSpriteFile("z.spr"), Ok);
    WriteFile("a.txt", "first");
    ResourcePack writer;
    ASSERT_TRUE(writer.IncludeFile("a.txt") && writer.IncludeFile("z.spr"));
    ASSERT_TRUE(writer.WritePack("cut.pack", ""));

    ResourcePack pack;
    ASSERT_TRUE(pack.OpenPack("cut.pack", ""));
    Sprite whole;
    ASSERT_EQ(whole.LoadFromSpriteFile("z.spr", &pack), Ok);
    std::filesystem::resize_file("cut.pack", std::filesystem::file_size("cut.pack") - 4);

    const ResourceBuffer first = pack.ReadEntry("a.txt");
    EXPECT_TRUE(first.complete);
    EXPECT_EQ(std::string(first.bytes.begin(), first.bytes.end()), "first");
    const ResourceBuffer cut = pack.ReadEntry("z.spr");
    EXPECT_FALSE(cut.complete);
    EXPECT_EQ(cut.bytes.size(), 8u + 6u * 4u);
    Sprite broken;
    EXPECT_EQ(broken.LoadFromSpriteFile("z.spr", &pack), Fail);
    EXPECT_EQ(broken.width, 0);
    EXPECT_EQ(broken.pixels, nullptr);
    // A read that failed does not spoil the entries before it.
    EXPECT_EQ(Entry(pack, "a.txt"), "first");
    std::filesystem::resize_file("cut.pack", 0);
    EXPECT_FALSE(pack.ReadEntry("a.txt").complete);
}

} // namespace
} // namespace dral
