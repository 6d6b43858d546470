// tesserine-pack run in-process: create, list and extract round trips whose packs ResourcePack
// reads byte for byte, and every failure with its exit code, its message, and no file left half
// written or overwritten.
#include "pack_tool.h"

#include <gtest/gtest.h>

#include <sstream>

#include "assets/resource_pack.h"
#include "scratch_dir.h"

namespace dral {
namespace {

using testing::Bytes;

struct Outcome {
    int code;
    std::string out, err;
};

Outcome RunTool(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = pack_tool::Run(args, out, err);
    return {code, out.str(), err.str()};
}

class PackToolTest : public testing::ScratchDir {
  protected:
    void SetUp() override {
        ScratchDir::SetUp();
        std::filesystem::create_directories("assets/sub");
        WriteFile("assets/a.txt", "abc");
        WriteFile("assets/sub/b.bin", Bytes({0, 1, 255, 0x80}));
        WriteFile("assets/sub/empty", "");
        WriteFile("key.txt", "secret\r\n");
    }
    // Creates good.pack from the assets folder with the key "secret".
    void CreateGood() {
        ASSERT_EQ(RunTool({"create", "good.pack", "-C", "assets", "--key", "secret", "."}).code,
                  pack_tool::Success);
    }
    // Every file of the scratch folder, for checking that nothing stray was written.
    std::vector<std::string> Files() const {
        std::vector<std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            if (entry.is_regular_file())
                files.push_back(std::filesystem::relative(entry.path(), root).generic_string());
        }
        std::sort(files.begin(), files.end());
        return files;
    }
};

TEST_F(PackToolTest, CreateListExtractRoundTrip) {
    const Outcome created =
        RunTool({"create", "p.pack", "-C", "assets", "--key-file", "key.txt", "a.txt", "sub"});
    ASSERT_EQ(created.code, pack_tool::Success) << created.err;
    EXPECT_EQ(created.out, "packed 3 files into p.pack\n");

    // The key file's line end is not part of the key; names are paths from the -C folder.
    ResourcePack pack;
    ASSERT_TRUE(pack.OpenPack("p.pack", "secret"));
    for (const std::string name : {"a.txt", "sub/b.bin", "sub/empty"}) {
        const ResourceBuffer entry = pack.ReadEntry(name);
        EXPECT_EQ(std::string(entry.bytes.begin(), entry.bytes.end()), ReadFile("assets/" + name))
            << name;
    }
    EXPECT_EQ(pack.Entries().size(), 3u);

    // The same pack comes from the key on the command line and from a folder walk of ".".
    CreateGood();
    EXPECT_EQ(ReadFile("good.pack"), ReadFile("p.pack"));

    EXPECT_EQ(RunTool({"list", "p.pack", "--key", "secret"}).out,
              "3\ta.txt\n4\tsub/b.bin\n0\tsub/empty\n");
    const Outcome all = RunTool({"extract", "p.pack", "--key", "secret", "-o", "out"});
    ASSERT_EQ(all.code, pack_tool::Success) << all.err;
    EXPECT_EQ(ReadFile("out/sub/b.bin"), ReadFile("assets/sub/b.bin"));
    EXPECT_TRUE(std::filesystem::exists("out/sub/empty"));
    EXPECT_EQ(
        RunTool({"extract", "p.pack", "--key", "secret", "-o", "-", "sub\\b.bin", "a.txt"}).out,
        ReadFile("assets/sub/b.bin") + "abc");

    // Packing the current folder leaves the pack being replaced out of it.
    std::filesystem::current_path("assets");
    ASSERT_EQ(RunTool({"create", "self.pack", "."}).code, pack_tool::Success);
    ASSERT_EQ(RunTool({"create", "self.pack", "."}).code, pack_tool::Success);
    EXPECT_EQ(RunTool({"list", "self.pack"}).out, "3\ta.txt\n4\tsub/b.bin\n0\tsub/empty\n");
    EXPECT_EQ(RunTool({"--help"}).code, pack_tool::Success);
}

TEST_F(PackToolTest, FailuresSayWhatAndTouchNoFile) {
    CreateGood();
    WriteFile("cut.pack", ReadFile("good.pack").substr(0, 20));
    struct Case {
        std::vector<std::string> args;
        int code;
        const char* message;
    };
    const Case cases[] = {
        {{}, pack_tool::Usage, "a command and a pack are needed"},
        {{"pack", "x.pack"}, pack_tool::Usage, "unknown command pack"},
        {{"create", "x.pack"}, pack_tool::Usage, "at least one file"},
        {{"create", "x.pack", "--key"}, pack_tool::Usage, "--key needs a value"},
        {{"create", "x.pack", "--key", "a", "--key-file", "key.txt", "key.txt"},
         pack_tool::Usage,
         "give one key"},
        {{"create", "x.pack", "-o", "out", "key.txt"}, pack_tool::Usage, "unknown option -o"},
        {{"create", "x.pack", "--key-file", "nokey", "key.txt"},
         pack_tool::Failed,
         "cannot read the key file nokey"},
        {{"create", "x.pack", "missing.txt"}, pack_tool::Failed, "no file or folder missing.txt"},
        {{"create", "x.pack", "-C", "assets", "../key.txt"}, pack_tool::Failed, "is not inside"},
        {{"create", "x.pack", "/etc/hostname"}, pack_tool::Failed, "is not inside"},
        {{"create", "x.pack", "-C", "nowhere", "a.txt"}, pack_tool::Failed, "cannot enter"},
        {{"create", "no/such/x.pack", "key.txt"}, pack_tool::Failed, "cannot write"},
        // A failed create leaves the pack it would replace as it was.
        {{"create", "good.pack", "-C", "assets", "a.txt", "missing"},
         pack_tool::Failed,
         "no file or folder missing"},
        {{"list", "none.pack"}, pack_tool::Failed, "no pack file none.pack"},
        {{"list", "good.pack", "--key", "wrong"}, pack_tool::Failed, "the key is wrong"},
        {{"list", "key.txt"}, pack_tool::Failed, "not a pack"},
        {{"list", "cut.pack", "--key", "secret"}, pack_tool::Failed, "damaged"},
        {{"list", "good.pack", "a.txt"}, pack_tool::Usage, "list takes no names"},
        {{"extract", "good.pack", "--key", "secret", "-o", "out", "a.txt", "nothere"},
         pack_tool::Failed,
         "holds no nothere"},
        {{"extract", "good.pack", "--key", "secret", "-o", "key.txt/x", "a.txt"},
         pack_tool::Failed,
         "cannot write key.txt/x/a.txt"},
    };
    const std::string good = ReadFile("good.pack");
    const std::vector<std::string> before = Files();
    for (const Case& c : cases) {
        std::string line;
        for (const std::string& arg : c.args) line += arg + " ";
        SCOPED_TRACE(line);
        const Outcome outcome = RunTool(c.args);
        EXPECT_EQ(outcome.code, c.code);
        EXPECT_NE(outcome.err.find(c.message), std::string::npos) << outcome.err;
        EXPECT_EQ(outcome.err.find("usage:") != std::string::npos, c.code == pack_tool::Usage);
        std::filesystem::remove("out/a.txt"); // written before the missing entry was met
        std::filesystem::remove("out");
        EXPECT_EQ(Files(), before);
    }
    EXPECT_EQ(ReadFile("good.pack"), good);
}

TEST_F(PackToolTest, ExtractRefusesNamesThatLeaveTheFolder) {
    // A pack written by other means may hold any name; extracting must not follow it out.
    WriteFile("evil", "x");
    std::filesystem::create_directories("inner");
    std::filesystem::current_path("inner");
    ResourcePack pack;
    ASSERT_TRUE(pack.IncludeFile("../evil"));
    ASSERT_TRUE(pack.WritePack("evil.pack", ""));
    std::filesystem::remove("../evil");
    const Outcome outcome = RunTool({"extract", "evil.pack", "-o", "deep/er"});
    EXPECT_EQ(outcome.code, pack_tool::Failed);
    EXPECT_NE(outcome.err.find("refusing ../evil"), std::string::npos) << outcome.err;
    EXPECT_FALSE(std::filesystem::exists("../evil"));
    EXPECT_FALSE(std::filesystem::exists("deep/evil"));
    // To standard output any name may be read.
    EXPECT_EQ(RunTool({"extract", "evil.pack", "-o", "-"}).out, "x");
}

} // namespace
} // namespace dral
