// Resource packs: the file layout byte for byte, round trips, name order, and packs that are
// damaged, truncated or opened with the wrong key.
#include "assets/resource_pack.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <istream>

#include "engine/sprite.h"
#include "scratch_dir.h"

namespace dral {
namespace {

using testing::Bytes;

class ResourcePackTest : public testing::ScratchDir {
  protected:
    static std::string Entry(ResourcePack& pack, const std::string& name) {
        const ResourceBuffer buffer = pack.ReadEntry(name);
        return {buffer.bytes.begin(), buffer.bytes.end()};
    }
    // Writes files a.txt, B.png and empty.bin and packs them into `packName` with `key`.
    void WriteSample(const std::string& packName, const std::string& key) {
        WriteFile("a.txt", "abc");
        WriteFile("B.png", Bytes({0, 1, 2, 255, 0x80}));
        WriteFile("empty.bin", "");
        ResourcePack pack;
        ASSERT_TRUE(pack.IncludeFile("a.txt") && pack.IncludeFile("B.png") &&
                    pack.IncludeFile("empty.bin"));
        ASSERT_TRUE(pack.WritePack(packName, key));
    }
};

TEST_F(ResourcePackTest, WorkedExampleAndEmptyPackAreExactBytes) {
    WriteFile("a.txt", "abc");
    ResourcePack pack;
    ASSERT_TRUE(pack.IncludeFile("a.txt"));
    ASSERT_TRUE(pack.WritePack("one.pack", ""));
    EXPECT_EQ(ReadFile("one.pack"), Bytes({0x15, 0, 0, 0, 1, 0, 0, 0, 5, 0, 0, 0}) + "a.txt" +
                                        Bytes({3, 0, 0, 0, 0x19, 0, 0, 0}) + "abc");
    EXPECT_EQ(pack.Entries().at("a.txt").offset, 25u);

    ResourcePack empty;
    ASSERT_TRUE(empty.WritePack("empty.pack", ""));
    EXPECT_EQ(ReadFile("empty.pack"), Bytes({4, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(std::filesystem::exists("empty.pack.partial"));
}

TEST_F(ResourcePackTest, RoundTripsWithAndWithoutKey) {
    for (const std::string key : {"", "k", "a longer key than the index is"}) {
        SCOPED_TRACE(key);
        WriteSample("sample.pack", key);
        // The length prefix is never scrambled; with the empty key the names are in the clear.
        const std::string raw = ReadFile("sample.pack");
        EXPECT_EQ(raw.substr(0, 4), Bytes({4 + 3 * 12 + 5 + 5 + 9, 0, 0, 0}));
        EXPECT_EQ(raw.find("empty.bin") != std::string::npos, key.empty());

        ResourcePack pack;
        ASSERT_TRUE(pack.OpenPack("sample.pack", key));
        EXPECT_TRUE(pack.IsOpen());
        EXPECT_EQ(pack.Entries().size(), 3u);
        EXPECT_EQ(Entry(pack, "a.txt"), "abc");
        EXPECT_EQ(Entry(pack, "B.png"), Bytes({0, 1, 2, 255, 0x80}));
        EXPECT_EQ(Entry(pack, "empty.bin"), "");
        EXPECT_EQ(pack.Entries().at("B.png").size, 5u);
    }
}

TEST_F(ResourcePackTest, EntriesFollowByteWiseNameOrder) {
    WriteFile("a", "1");
    WriteFile("a.png", "22");
    WriteFile("B.png", "333");
    WriteFile("\xC3\xA9", "4444"); // a UTF-8 name sorts after every ASCII one
    WriteFile("z", "55555");
    ResourcePack pack;
    for (const char* name : {"z", "\xC3\xA9", "a.png", "a", "B.png"})
        ASSERT_TRUE(pack.IncludeFile(name));
    ASSERT_TRUE(pack.WritePack("order.pack", ""));
    const std::string raw = ReadFile("order.pack");
    EXPECT_EQ(raw.substr(raw.size() - 15), "333"
                                           "1"
                                           "22"
                                           "55555"
                                           "4444");
    EXPECT_LT(raw.find("B.png"), raw.find(Bytes({1, 0, 0, 0}) + "a"));
    EXPECT_LT(raw.find("a.png"), raw.find("\xC3\xA9"));
    EXPECT_LT(raw.find("z"), raw.find("\xC3\xA9"));
}

TEST_F(ResourcePackTest, IncludeFileNormalisesAndRefreshesEntries) {
    EXPECT_EQ(ResourcePack::NormalisePath("dir\\Sub\\..\\x.PNG"), "dir/Sub/../x.PNG");
    std::filesystem::create_directory("dir");
    WriteFile("dir/img.png", "pixels");
    ResourcePack pack;
    ASSERT_TRUE(pack.IncludeFile("dir\\img.png"));
    EXPECT_EQ(pack.Entries().count("dir/img.png"), 1u);

    // Including again takes the size afresh and resets the offset.
    ASSERT_TRUE(pack.WritePack("dir.pack", ""));
    EXPECT_NE(pack.Entries().at("dir/img.png").offset, 0u);
    WriteFile("dir/img.png", "more pixels");
    ASSERT_TRUE(pack.IncludeFile("dir/img.png"));
    EXPECT_EQ(pack.Entries().size(), 1u);
    EXPECT_EQ(pack.Entries().at("dir/img.png").size, 11u);
    EXPECT_EQ(pack.Entries().at("dir/img.png").offset, 0u);

    ResourcePack opened;
    ASSERT_TRUE(opened.OpenPack("dir.pack", ""));
    EXPECT_EQ(Entry(opened, "dir\\img.png"), "");
    EXPECT_EQ(Entry(opened, "dir/img.png"), "pixels");

    EXPECT_FALSE(pack.IncludeFile("missing.png"));
    EXPECT_FALSE(pack.IncludeFile("dir"));
    EXPECT_FALSE(pack.IncludeFile("/dev/null"));
    EXPECT_EQ(pack.Entries().size(), 1u);
}

TEST_F(ResourcePackTest, ResourceBufferIsAReadOnlyStream) {
    WriteSample("sample.pack", "key");
    ResourcePack pack;
    ASSERT_TRUE(pack.OpenPack("sample.pack", "key"));

    ResourceBuffer empty = pack.ReadEntry("empty.bin");
    std::istream emptyStream(&empty);
    EXPECT_EQ(emptyStream.get(), std::char_traits<char>::eof());

    ResourceBuffer text = pack.ReadEntry("a.txt");
    std::istream in(&text);
    EXPECT_EQ(in.get(), 'a');
    EXPECT_EQ(in.tellg(), std::streampos(-1)); // no seeking
    in.clear();
    // A moved buffer keeps its read position and its get area moves with the bytes.
    ResourceBuffer moved = std::move(text);
    std::istream movedStream(&moved);
    std::string rest;
    movedStream >> rest;
    EXPECT_EQ(rest, "bc");
    EXPECT_EQ(in.get(), std::char_traits<char>::eof());
}

TEST_F(ResourcePackTest, MissingNamesAndShortReadsDoNotSpoilLaterEntries) {
    WriteSample("sample.pack", "");
    WriteFile("big.bin", std::string(1000, 'x'));
    ResourcePack pack;
    ASSERT_TRUE(pack.OpenPack("sample.pack", ""));
    EXPECT_TRUE(pack.ReadEntry("nothing").bytes.empty());
    EXPECT_EQ(pack.Entries().count("nothing"), 0u);

    // big.bin is indexed at offset 0 but is longer than the pack: its read runs short.
    ASSERT_TRUE(pack.IncludeFile("big.bin"));
    const ResourceBuffer big = pack.ReadEntry("big.bin");
    EXPECT_EQ(big.bytes.size(), 1000u);
    EXPECT_EQ(big.bytes[999], 0);
    EXPECT_EQ(Entry(pack, "a.txt"), "abc");
}

TEST_F(ResourcePackTest, WrongKeyOrSecondOpenLeavesThePackAlone) {
    WriteSample("sample.pack", "right key");
    ResourcePack pack;
    EXPECT_FALSE(pack.OpenPack("sample.pack", "wrong key"));
    EXPECT_FALSE(pack.OpenPack("missing.pack", ""));
    EXPECT_FALSE(pack.IsOpen());
    EXPECT_TRUE(pack.Entries().empty());

    ASSERT_TRUE(pack.OpenPack("sample.pack", "right key"));
    WriteSample("other.pack", "");
    EXPECT_FALSE(pack.OpenPack("other.pack", ""));
    EXPECT_EQ(Entry(pack, "a.txt"), "abc");
}

// Every prefix of a pack and every single-byte corruption either fails to open or yields an
// index whose entries all lie inside the file.
TEST_F(ResourcePackTest, TruncatedAndCorruptedPacksNeverReachOutsideTheFile) {
    WriteSample("sample.pack", "key");
    const std::string good = ReadFile("sample.pack");
    auto check = [&](const std::string& bytes) {
        WriteFile("damaged.pack", bytes);
        ResourcePack pack;
        if (!pack.OpenPack("damaged.pack", "key")) {
            EXPECT_TRUE(pack.Entries().empty());
            EXPECT_FALSE(pack.IsOpen());
            return;
        }
        for (const auto& [name, entry] : pack.Entries()) {
            EXPECT_LE(uint64_t(entry.offset) + entry.size, bytes.size());
            EXPECT_EQ(pack.ReadEntry(name).bytes.size(), entry.size);
        }
    };
    for (size_t length = 0; length < good.size(); ++length) check(good.substr(0, length));
    for (size_t i = 0; i < good.size(); ++i)
        for (int flip : {0x01, 0x80, 0xFF}) {
            std::string bytes = good;
            bytes[i] = static_cast<char>(bytes[i] ^ flip);
            check(bytes);
        }
    // An index length far beyond the file is refused before anything is reserved for it.
    check(Bytes({0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0}));

    ResourcePack truncated;
    EXPECT_FALSE(truncated.OpenPack("missing", "key"));
    WriteFile("short.pack", good.substr(0, good.size() - 1));
    EXPECT_FALSE(truncated.OpenPack("short.pack", "key")); // the last entry ends past the file
}

TEST_F(ResourcePackTest, FailedWritesKeepTheEarlierPack) {
    WriteSample("sample.pack", "");
    const std::string before = ReadFile("sample.pack");
    ResourcePack pack;
    WriteFile("vanishing.bin", "12345678");
    ASSERT_TRUE(pack.IncludeFile("vanishing.bin"));
    ASSERT_TRUE(pack.WritePack("good.pack", ""));
    const uint32_t offset = pack.Entries().at("vanishing.bin").offset;

    WriteFile("vanishing.bin", "1234"); // now shorter than its recorded size
    EXPECT_FALSE(pack.WritePack("sample.pack", ""));
    std::filesystem::remove("vanishing.bin");
    EXPECT_FALSE(pack.WritePack("sample.pack", ""));
    EXPECT_FALSE(pack.WritePack("no/such/dir.pack", ""));
    EXPECT_EQ(ReadFile("sample.pack"), before);
    EXPECT_FALSE(std::filesystem::exists("sample.pack.partial"));
    EXPECT_EQ(pack.Entries().at("vanishing.bin").offset, offset);
}

// Index records as OpenPack reads them (empty key), followed by `data`.
std::string
HandMadePack(const std::vector<std::pair<std::string, std::pair<uint32_t, uint32_t>>>& records,
             const std::string& data) {
    auto u32 = [](uint32_t v) {
        return testing::Bytes(
            {int(v & 0xFF), int(v >> 8 & 0xFF), int(v >> 16 & 0xFF), int(v >> 24)});
    };
    std::string index = u32(uint32_t(records.size()));
    for (const auto& [name, sizeAndOffset] : records)
        index += u32(uint32_t(name.size())) + name + u32(sizeAndOffset.first) +
                 u32(sizeAndOffset.second);
    return u32(uint32_t(index.size())) + index + data;
}

TEST_F(ResourcePackTest, OpenPackMergesAndTheLastOfTwoEqualNamesWins) {
    // Records "x" (1 byte at the data), "keep" (2 bytes there), "x" again (the 2 bytes after the
    // first); the data, "PQR", starts after the length, the count and the three records.
    const uint32_t start = 4 + 4 + 3 * 12 + 1 + 4 + 1;
    WriteFile(
        "dup.pack",
        HandMadePack({{"x", {1, start}}, {"keep", {2, start}}, {"x", {2, start + 1}}}, "PQR"));
    WriteFile("mine.txt", "12345");
    WriteFile("keep", "K");
    ResourcePack pack;
    ASSERT_TRUE(pack.IncludeFile("mine.txt"));
    ASSERT_TRUE(pack.IncludeFile("keep"));
    ASSERT_TRUE(pack.OpenPack("dup.pack", ""));
    ASSERT_EQ(pack.Entries().size(), 3u);
    EXPECT_EQ(pack.Entries().at("mine.txt").size, 5u); // kept from before the open
    EXPECT_EQ(pack.Entries().at("mine.txt").offset, 0u);
    EXPECT_EQ(pack.Entries().at("keep").size, 2u); // replaced by the pack's record
    EXPECT_EQ(Entry(pack, "x"), "QR");
    EXPECT_EQ(Entry(pack, "keep"), "PQ");
}

TEST_F(ResourcePackTest, WritingNeverTouchesOtherFilesAndFollowsLinks) {
    WriteFile("a.txt", "abc");
    WriteFile("out.pack.partial", "the user's own file");
    ResourcePack pack;
    ASSERT_TRUE(pack.IncludeFile("a.txt"));
    ASSERT_TRUE(pack.WritePack("out.pack", ""));
    EXPECT_EQ(ReadFile("out.pack.partial"), "the user's own file");

    // Through a relative link in another folder: the target gets the pack, the link stays one.
    std::filesystem::create_directory("store");
    WriteFile("store/real.pack", "old");
    std::filesystem::create_directory("links");
    std::filesystem::create_symlink("../store/real.pack", "links/game.pack");
    ASSERT_TRUE(pack.WritePack("links/game.pack", ""));
    EXPECT_TRUE(std::filesystem::is_symlink("links/game.pack"));
    EXPECT_EQ(ReadFile("store/real.pack"), ReadFile("out.pack"));
    // Nothing is left behind in either folder.
    size_t files = 0;
    for (const auto& item : std::filesystem::recursive_directory_iterator(root)) {
        (void)item;
        ++files;
    }
    EXPECT_EQ(files, 7u); // a.txt, out.pack, out.pack.partial, store, real.pack, links, game.pack
}

TEST_F(ResourcePackTest, PacksBeyondThirtyTwoBitOffsetsAreRefused) {
    // Sparse files: their sizes are real but they take no space.
    std::ofstream("huge.bin").close();
    std::filesystem::resize_file("huge.bin", (uint64_t(1) << 32) + 1);
    std::ofstream("half1.bin").close();
    std::filesystem::resize_file("half1.bin", uint64_t(3) << 30);
    std::ofstream("half2.bin").close();
    std::filesystem::resize_file("half2.bin", uint64_t(3) << 30);

    ResourcePack pack;
    EXPECT_FALSE(pack.IncludeFile("huge.bin"));
    ASSERT_TRUE(pack.IncludeFile("half1.bin"));
    ASSERT_TRUE(pack.IncludeFile("half2.bin"));
    EXPECT_FALSE(pack.WritePack("huge.pack", ""));
    EXPECT_FALSE(std::filesystem::exists("huge.pack"));
    EXPECT_FALSE(std::filesystem::exists("huge.pack.partial"));
}

TEST_F(ResourcePackTest, SizesBeyondThe32BitAddressSpaceAreRefusedNotAllocated) {
    // 3 GiB fits the pack format but not one array of a 32-bit program; a 64-bit one would
    // really read it all, so only the 32-bit build runs this.
    if (sizeof(size_t) > 4) GTEST_SKIP() << "a 64-bit build can hold these sizes";
    const uint32_t huge = uint32_t(3) << 30;
    auto u32 = [](uint32_t v) {
        return Bytes({int(v & 0xFF), int(v >> 8 & 0xFF), int(v >> 16 & 0xFF), int(v >> 24)});
    };
    // An index of 3 GiB, all zeros in a sparse file.
    WriteFile("index.pack", u32(huge));
    std::filesystem::resize_file("index.pack", uint64_t(huge) + 4);
    ResourcePack index;
    EXPECT_FALSE(index.OpenPack("index.pack", ""));

    // One entry of 3 GiB after a 21-byte index: the pack opens, the entry cannot be read.
    WriteFile("entry.pack", u32(17) + u32(1) + u32(1) + "e" + u32(huge) + u32(21));
    std::filesystem::resize_file("entry.pack", uint64_t(huge) + 21);
    ResourcePack pack;
    ASSERT_TRUE(pack.OpenPack("entry.pack", ""));
    const ResourceBuffer entry = pack.ReadEntry("e");
    EXPECT_FALSE(entry.complete);
    EXPECT_TRUE(entry.bytes.empty());
    Sprite sprite(2, 2);
    EXPECT_EQ(sprite.LoadFromSpriteFile("e", &pack), Fail);
}

} // namespace
} // namespace dral
