// Image loading through GDI+: straight alpha, opaque formats, UTF-8 paths and failures.
#include <gtest/gtest.h>

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include <cstdio>
#include <fstream>

#include "assets/gdiplus/wide_path.h"
#include "engine/sprite.h"

namespace dral {
namespace {

// A 24-bit bottom-up BMP of 2 x 1 pixels: blue-green-red bytes, rows padded to 4 bytes.
void WriteBmp(const char* name) {
    // clang-format off
    const unsigned char file[] = {
        'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,                    // file header
        40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0,      // info header
        8, 0, 0, 0, 0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        30, 20, 10, 60, 50, 40, 0, 0};                                      // (10,20,30) (40,50,60)
    // clang-format on
    std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(file), sizeof(file));
}

// Saves a bitmap as PNG with GDI+'s own encoder.
void SavePng(Gdiplus::Bitmap& bitmap, const wchar_t* name) {
    // The PNG encoder's class id.
    const CLSID png = {
        0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    ASSERT_EQ(bitmap.Save(name, &png, nullptr), Gdiplus::Ok);
}

// A 1 x 1 PNG with a half-transparent red pixel.
void WriteHalfRedPng(const wchar_t* name) {
    Gdiplus::Bitmap bitmap(1, 1, PixelFormat32bppARGB);
    bitmap.SetPixel(0, 0, Gdiplus::Color(128, 255, 0, 0));
    SavePng(bitmap, name);
}

// The colour of pixel (x, y) in the test pattern: every channel differs by position.
Pixel Pattern(int32_t x, int32_t y) {
    return Pixel(uint8_t(10 + x), uint8_t(20 + y), uint8_t(30 + x * y), uint8_t(200 + 10 * x + y));
}

TEST(ImageGdiplusTest, OpaqueBmpLoadsWithFullAlpha) {
    WriteBmp("rgb.bmp");
    Sprite sprite("rgb.bmp");
    ASSERT_EQ(sprite.width, 2);
    ASSERT_EQ(sprite.height, 1);
    EXPECT_EQ(sprite.GetPixel(0, 0), Pixel(10, 20, 30, 255));
    EXPECT_EQ(sprite.GetPixel(1, 0), Pixel(40, 50, 60, 255));
    std::remove("rgb.bmp");
}

TEST(ImageGdiplusTest, AlphaStaysStraightAndUtf8PathsOpen) {
    const std::string name = "Bild-\xC3\xA4\xE5\x9B\xBE.png";
    WriteHalfRedPng(Utf8ToWide(name).c_str());
    Sprite sprite;
    ASSERT_EQ(sprite.LoadImageFile(name, nullptr), Ok);
    ASSERT_EQ(sprite.width, 1);
    EXPECT_EQ(sprite.GetPixel(0, 0), Pixel(255, 0, 0, 128));
    DeleteFileW(Utf8ToWide(name).c_str());
}

// The whole image arrives at once: each pixel must land at its own place with its own channels.
TEST(ImageGdiplusTest, EveryPixelKeepsItsPlaceAndChannels) {
    constexpr int32_t width = 5, height = 3;
    {
        Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppARGB);
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) {
                const Pixel p = Pattern(x, y);
                bitmap.SetPixel(x, y, Gdiplus::Color(p.a, p.r, p.g, p.b));
            }
        SavePng(bitmap, L"pattern.png");
    }
    Sprite sprite(2, 2);
    ASSERT_EQ(sprite.LoadImageFile("pattern.png", nullptr), Ok);
    ASSERT_EQ(sprite.width, width);
    ASSERT_EQ(sprite.height, height);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            EXPECT_EQ(sprite.GetPixel(x, y), Pattern(x, y)) << x << y;
    std::remove("pattern.png");
}

TEST(ImageGdiplusTest, FailuresLeaveTheSpriteAsItWas) {
    Sprite fresh("missing.png");
    EXPECT_EQ(fresh.width, 0);
    EXPECT_EQ(fresh.pixels, nullptr);

    std::ofstream("garbage.png") << "not an image";
    Sprite sprite(3, 2);
    Pixel* before = sprite.pixels;
    EXPECT_EQ(sprite.LoadImageFile("garbage.png", nullptr), NoFile);
    EXPECT_EQ(sprite.LoadImageFile("missing.png", nullptr), NoFile);
    EXPECT_EQ(sprite.width, 3);
    EXPECT_EQ(sprite.pixels, before);
    std::remove("garbage.png");
}

TEST(ImageGdiplusTest, WidePathsConvertFromUtf8) {
    EXPECT_EQ(Utf8ToWide("a\xC3\xA4\xE5\x9B\xBE"), std::wstring(L"a\u00e4\u56fe"));
    EXPECT_EQ(Utf8ToWide(""), std::wstring());
}

} // namespace
} // namespace dral
