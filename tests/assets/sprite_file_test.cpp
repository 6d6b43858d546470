// The raw sprite file: its 12-byte layout for one pixel, round trips from disk and from a pack,
// and damaged files that must leave a valid, empty sprite.
#include <gtest/gtest.h>

#include <filesystem>

#include "assets/resource_pack.h"
#include "engine/sprite.h"
#include "scratch_dir.h"

namespace dral {
namespace {

using testing::Bytes;

class SpriteFileTest : public testing::ScratchDir {
  protected:
    static void ExpectEmpty(const Sprite& sprite) {
        EXPECT_EQ(sprite.width, 0);
        EXPECT_EQ(sprite.height, 0);
        EXPECT_EQ(sprite.pixels, nullptr);
    }
    static void ExpectSame(const Sprite& a, const Sprite& b) {
        ASSERT_EQ(a.width, b.width);
        ASSERT_EQ(a.height, b.height);
        for (int32_t i = 0; i < a.width * a.height; ++i) EXPECT_EQ(a.pixels[i], b.pixels[i]);
    }
};

TEST_F(SpriteFileTest, OnePixelIsTwelveBytesAndLoadsBack) {
    Sprite one(1, 1);
    one.SetPixel(0, 0, Pixel(10, 20, 30, 40));
    ASSERT_EQ(one.SaveToSpriteFile("one.spr"), Ok);
    EXPECT_EQ(ReadFile("one.spr"), Bytes({1, 0, 0, 0, 1, 0, 0, 0, 10, 20, 30, 40}));

    Sprite loaded(5, 5);
    loaded.SetSampleMode(Tiled);
    ASSERT_EQ(loaded.LoadFromSpriteFile("one.spr"), Ok);
    ExpectSame(loaded, one);
    EXPECT_EQ(loaded.sampleMode, Tiled);
}

TEST_F(SpriteFileTest, RowsRoundTripFromDiskAndFromAPack) {
    Sprite image(3, 2);
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 3; ++x)
            image.SetPixel(x, y, Pixel(uint8_t(x * 80), uint8_t(y * 200), 7, uint8_t(x + y)));
    ASSERT_EQ(image.SaveToSpriteFile("image.spr"), Ok);
    EXPECT_EQ(ReadFile("image.spr").substr(0, 8), Bytes({3, 0, 0, 0, 2, 0, 0, 0}));
    EXPECT_EQ(ReadFile("image.spr").substr(8 + 4 * 3, 4), Bytes({0, 200, 7, 1}));

    Sprite fromDisk;
    ASSERT_EQ(fromDisk.LoadFromSpriteFile("image.spr"), Ok);
    ExpectSame(fromDisk, image);

    ResourcePack writer;
    ASSERT_TRUE(writer.IncludeFile("image.spr"));
    ASSERT_TRUE(writer.WritePack("sprites.pack", "key"));
    ResourcePack pack;
    ASSERT_TRUE(pack.OpenPack("sprites.pack", "key"));
    Sprite fromPack;
    ASSERT_EQ(fromPack.LoadFromSpriteFile("image.spr", &pack), Ok);
    ExpectSame(fromPack, image);

    // A name the pack lacks reads as an empty file: a failure, not an all-black success.
    EXPECT_EQ(fromPack.LoadFromSpriteFile("other.spr", &pack), Fail);
    ExpectEmpty(fromPack);
}

TEST_F(SpriteFileTest, NothingToSaveOrNowhereToSaveFails) {
    Sprite empty;
    EXPECT_EQ(empty.SaveToSpriteFile("empty.spr"), Fail);
    EXPECT_FALSE(std::filesystem::exists("empty.spr"));
    Sprite one(1, 1);
    EXPECT_EQ(one.SaveToSpriteFile("no/such/dir.spr"), Fail);
    EXPECT_EQ(one.SaveToSpriteFile("/dev/full"), Fail);
}

TEST_F(SpriteFileTest, DamagedFilesLeaveAValidEmptySprite) {
    const std::string twoByTwo = Bytes({2, 0, 0, 0, 2, 0, 0, 0}) + std::string(16, '\x11');
    const struct {
        const char* what;
        std::string bytes;
    } damaged[] = {
        {"empty", ""},
        {"short header", Bytes({1, 0, 0, 0, 1})},
        {"negative width", Bytes({0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 1, 2, 3, 4})},
        {"negative height", Bytes({1, 0, 0, 0, 0, 0, 0, 0x80, 1, 2, 3, 4})},
        {"count overflows", Bytes({0, 0, 1, 0, 0, 0, 1, 0, 1, 2, 3, 4})},
        {"huge", Bytes({0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0x7F})},
        {"one pixel short", twoByTwo.substr(0, twoByTwo.size() - 4)},
        {"one byte short", twoByTwo.substr(0, twoByTwo.size() - 1)},
    };
    for (const auto& file : damaged) {
        SCOPED_TRACE(file.what);
        WriteFile("damaged.spr", file.bytes);
        Sprite sprite(4, 4);
        EXPECT_EQ(sprite.LoadFromSpriteFile("damaged.spr"), Fail);
        ExpectEmpty(sprite);
    }
    // 32768 x 32768 pixels, all there in a sparse 4 GiB file, are 2^32 bytes: more than a 32-bit
    // program can address (a 64-bit one would really read them all).
    if (sizeof(size_t) == 4) {
        WriteFile("big.spr", Bytes({0, 0x80, 0, 0, 0, 0x80, 0, 0}));
        std::filesystem::resize_file("big.spr", (uint64_t(1) << 32) + 8);
        Sprite big(4, 4);
        EXPECT_EQ(big.LoadFromSpriteFile("big.spr"), Fail);
        ExpectEmpty(big);
    }
    Sprite missing(2, 2);
    EXPECT_EQ(missing.LoadFromSpriteFile("missing.spr"), Fail);
    ExpectEmpty(missing);

    // Zero-area sprites and trailing bytes are still well-formed.
    WriteFile("zero.spr", Bytes({0, 0, 0, 0, 3, 0, 0, 0}));
    Sprite zero;
    EXPECT_EQ(zero.LoadFromSpriteFile("zero.spr"), Ok);
    EXPECT_EQ(zero.height, 3);
    WriteFile("long.spr", twoByTwo + "tail");
    Sprite trailing;
    EXPECT_EQ(trailing.LoadFromSpriteFile("long.spr"), Ok);
    EXPECT_EQ(trailing.GetPixel(1, 1), Pixel(0x11, 0x11, 0x11, 0x11));
}

} // namespace
} // namespace dral
