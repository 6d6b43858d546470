// Image files decoded into sprites: exact straight-alpha channels, images without alpha, UTF-8
// paths, pack entries, and failures that leave the sprite exactly as it was.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include "assets/resource_pack.h"
#include "engine/sprite.h"
#include "scratch_dir.h"

namespace dral {
namespace {

class ImageTest : public testing::ScratchDir {
  protected:
    // Writes a w x h image of the given SDL pixel format; pixel i gets colour(i).
    template <typename Colour>
    static void WriteImage(const std::string& name, int w, int h, Uint32 format, bool png,
                           Colour colour) {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, format);
        ASSERT_NE(surface, nullptr);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const Pixel p = colour(y * w + x);
                auto* at = static_cast<Uint8*>(surface->pixels) + y * surface->pitch +
                           x * surface->format->BytesPerPixel;
                const Uint32 value = SDL_MapRGBA(surface->format, p.r, p.g, p.b, p.a);
                SDL_memcpy(at, &value, surface->format->BytesPerPixel); // little-endian host
            }
        ASSERT_EQ(png ? IMG_SavePNG(surface, name.c_str()) : SDL_SaveBMP(surface, name.c_str()), 0)
            << SDL_GetError();
        SDL_FreeSurface(surface);
    }
    static Pixel Ramp(int i) {
        return Pixel(uint8_t(40 * i), uint8_t(255 - 30 * i), uint8_t(i * i), uint8_t(200 + i));
    }
};

TEST_F(ImageTest, PngKeepsExactStraightChannels) {
    WriteImage("one.png", 1, 1, SDL_PIXELFORMAT_RGBA32, true,
               [](int) { return Pixel(10, 20, 30, 40); });
    Sprite one("one.png");
    ASSERT_EQ(one.width, 1);
    ASSERT_EQ(one.height, 1);
    EXPECT_EQ(one.GetPixel(0, 0), Pixel(10, 20, 30, 40));

    WriteImage("red.png", 1, 1, SDL_PIXELFORMAT_RGBA32, true,
               [](int) { return Pixel(255, 0, 0, 128); });
    ASSERT_EQ(one.LoadImageFile("red.png", nullptr), Ok);
    EXPECT_EQ(one.GetPixel(0, 0), Pixel(255, 0, 0, 128));

    // A bigger image replaces the size and every pixel, row by row.
    WriteImage("ramp.png", 3, 2, SDL_PIXELFORMAT_RGBA32, true, Ramp);
    ASSERT_EQ(one.LoadImageFile("ramp.png", nullptr), Ok);
    ASSERT_EQ(one.width, 3);
    ASSERT_EQ(one.height, 2);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(one.pixels[i], Ramp(i)) << i;
}

TEST_F(ImageTest, TwentyFourBitBmpIsOpaque) {
    // Three 3-byte pixels per row pads each row, so row order and pitch both show.
    WriteImage("rgb.bmp", 3, 2, SDL_PIXELFORMAT_RGB24, false, Ramp);
    Sprite sprite;
    ASSERT_EQ(sprite.LoadImageFile("rgb.bmp", nullptr), Ok);
    ASSERT_EQ(sprite.width, 3);
    ASSERT_EQ(sprite.height, 2);
    for (int i = 0; i < 6; ++i) {
        const Pixel want = Ramp(i);
        EXPECT_EQ(sprite.pixels[i], Pixel(want.r, want.g, want.b, 255)) << i;
    }
}

TEST_F(ImageTest, ZeroWidthImageLoadsWithoutPixelsToCopy) {
    // An uncompressed true-colour TGA header claiming 0 x 9 pixels; TGA is known by its extension.
    WriteFile("zero.tga",
              testing::Bytes({0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 0, 32, 0x28}));
    Sprite sprite;
    ASSERT_EQ(sprite.LoadImageFile("zero.tga", nullptr), Ok);
    EXPECT_EQ(sprite.width, 0);
    EXPECT_EQ(sprite.height, 9);
}

TEST_F(ImageTest, Utf8PathsAndPackEntriesLoadTheSameImage) {
    const std::string name = "Bild-\xC3\xA4\xC3\xB6\xC3\xBC-\xE5\x9B\xBE.png";
    WriteImage(name, 3, 2, SDL_PIXELFORMAT_RGBA32, true, Ramp);
    Sprite fromDisk(name);
    ASSERT_EQ(fromDisk.width, 3);

    ResourcePack writer;
    ASSERT_TRUE(writer.IncludeFile(name));
    ASSERT_TRUE(writer.WritePack("images.pack", "key"));
    ResourcePack pack;
    ASSERT_TRUE(pack.OpenPack("images.pack", "key"));
    Sprite fromPack(name, &pack);
    ASSERT_EQ(fromPack.width, fromDisk.width);
    ASSERT_EQ(fromPack.height, fromDisk.height);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(fromPack.pixels[i], fromDisk.pixels[i]);
}

TEST_F(ImageTest, FailuresLeaveTheSpriteUntouched) {
    Sprite missing("missing.png");
    EXPECT_EQ(missing.width, 0);
    EXPECT_EQ(missing.pixels, nullptr);

    WriteFile("garbage.png", "not an image at all");
    WriteFile("empty.png", "");
    std::filesystem::create_directory("folder.png");
    ResourcePack writer;
    ASSERT_TRUE(writer.IncludeFile("garbage.png") && writer.IncludeFile("empty.png"));
    ASSERT_TRUE(writer.WritePack("bad.pack", ""));
    ResourcePack pack;
    ASSERT_TRUE(pack.OpenPack("bad.pack", ""));

    Sprite sprite(2, 1);
    sprite.SetPixel(1, 0, Pixel(1, 2, 3, 4));
    const Pixel* before = sprite.pixels;
    for (const char* file : {"missing.png", "garbage.png", "empty.png", "folder.png"}) {
        SCOPED_TRACE(file);
        EXPECT_EQ(sprite.LoadImageFile(file, nullptr), NoFile);
        EXPECT_EQ(sprite.LoadImageFile(file, &pack), NoFile);
        EXPECT_EQ(sprite.pixels, before);
        EXPECT_EQ(sprite.width, 2);
        EXPECT_EQ(sprite.height, 1);
        EXPECT_EQ(sprite.GetPixel(1, 0), Pixel(1, 2, 3, 4));
    }
}

} // namespace
} // namespace dral
