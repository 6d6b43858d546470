// The image-decoder seam: loads reach the chosen decoder with the path or with the pack entry's
// bytes and name, its answer is the load's, and going back to nullptr restores the build's own.
#include "assets/image_decoder.h"

#include <gtest/gtest.h>

#include "assets/resource_pack.h"
#include "engine/sprite.h"
#include "scratch_dir.h"

namespace dral {
namespace {

// Records what it was asked and makes a 1 x 1 sprite of the first byte it saw as red.
class RecordingDecoder : public ImageDecoder {
  public:
    ResultCode DecodeFile(const std::string& path, Sprite& sprite) const override {
        calls += "file " + path + ";";
        return Fill(path == "ok.png" ? 'f' : 0, sprite);
    }
    ResultCode DecodeBytes(const std::vector<char>& bytes, const std::string& name,
                           Sprite& sprite) const override {
        calls += "bytes " + name + " " + std::string(bytes.begin(), bytes.end()) + ";";
        return Fill(bytes.empty() ? 0 : bytes[0], sprite);
    }
    mutable std::string calls;

  private:
    static ResultCode Fill(char first, Sprite& sprite) {
        if (!first) return NoFile;
        Sprite fresh(1, 1);
        fresh.SetPixel(0, 0, Pixel(static_cast<uint8_t>(first), 0, 0, 255));
        std::swap(sprite.pixels, fresh.pixels);
        sprite.width = sprite.height = 1;
        return Ok;
    }
};

class ImageDecoderSeam : public testing::ScratchDir {
  protected:
    void TearDown() override {
        UseImageDecoder(nullptr);
        ScratchDir::TearDown();
    }
    RecordingDecoder decoder;
};

TEST_F(ImageDecoderSeam, FilesAndPackEntriesGoToTheChosenDecoder) {
    UseImageDecoder(&decoder);
    Sprite fromFile;
    EXPECT_EQ(fromFile.LoadImageFile("ok.png", nullptr), Ok);
    EXPECT_EQ(fromFile.GetPixel(0, 0), Pixel('f', 0, 0, 255));
    EXPECT_EQ(fromFile.LoadImageFile("bad.png", nullptr), NoFile);

    WriteFile("x.tga", "xyz");
    ResourcePack pack;
    ASSERT_TRUE(pack.IncludeFile("x.tga") && pack.WritePack("p.pack", "key"));
    ResourcePack opened;
    ASSERT_TRUE(opened.OpenPack("p.pack", "key"));
    const Sprite fromPack("x.tga", &opened);
    EXPECT_EQ(fromPack.GetPixel(0, 0), Pixel('x', 0, 0, 255));
    // An entry the pack lacks reaches the decoder as no bytes, which it refuses.
    Sprite missing;
    EXPECT_EQ(missing.LoadImageFile("none.png", &opened), NoFile);
    EXPECT_EQ(decoder.calls, "file ok.png;file bad.png;bytes x.tga xyz;bytes none.png ;");
}

TEST_F(ImageDecoderSeam, NullptrGoesBackToTheDefault) {
    UseImageDecoder(&decoder);
    UseImageDecoder(nullptr);
    // No such file here, so the build's own decoder (or the lack of one) answers NoFile.
    Sprite sprite;
    EXPECT_EQ(sprite.LoadImageFile("ok.png", nullptr), NoFile);
    EXPECT_EQ(decoder.calls, "");
}

} // namespace
} // namespace dral
