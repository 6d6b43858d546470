// Sound files: WAV in its sample formats and rates, written and read back, from a pack, and the
// decoder's OGG and MP3; missing, cut-short and corrupt files fail without a sound.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "assets/resource_pack.h"
#include "engine/audio.h"

namespace dral {
namespace {

void Put(std::vector<char>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
}

// A WAV file: format tag, channels, rate and bits as given, then the raw data bytes.
std::vector<char> Wav(uint32_t tag, uint32_t channels, uint32_t rate, uint32_t bits,
                      const std::vector<char>& data) {
    std::vector<char> out{'R', 'I', 'F', 'F'};
    Put(out, static_cast<uint32_t>(36 + data.size()), 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put(out, 16, 4);
    Put(out, tag, 2);
    Put(out, channels, 2);
    Put(out, rate, 4);
    Put(out, rate * channels * bits / 8, 4);
    Put(out, channels * bits / 8, 2);
    Put(out, bits, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    Put(out, static_cast<uint32_t>(data.size()), 4);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

std::vector<char> Bytes(std::initializer_list<int> values) {
    std::vector<char> out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

std::string TempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("tesserine-audio-test-" + name)).string();
}

TEST(SoundFile, WavSampleFormatsBecome48kStereo16) {
    struct Case {
        const char* what;
        std::vector<char> file;
        std::vector<int16_t> samples;
    };
    const float half = 0.5f;
    std::vector<char> floatData(4);
    std::memcpy(floatData.data(), &half, 4);
    const Case cases[] = {
        {"16-bit stereo", Wav(1, 2, 48000, 16, Bytes({0x34, 0x12, 0xFF, 0xFF})), {0x1234, -1}},
        {"16-bit mono doubled", Wav(1, 1, 48000, 16, Bytes({0x10, 0x00})), {16, 16}},
        {"8-bit unsigned", Wav(1, 1, 48000, 8, Bytes({0x80})), {0, 0}},
        {"24-bit keeps its top 16",
         Wav(1, 1, 48000, 24, Bytes({0xAA, 0x00, 0x80})),
         {-32768, -32768}},
        {"float scaled", Wav(3, 1, 48000, 32, floatData), {16384, 16384}},
        {"24 kHz interpolated",
         Wav(1, 1, 24000, 16, Bytes({0, 0, 100, 0})),
         {0, 0, 50, 50, 100, 100, 100, 100}},
    };
    for (const Case& c : cases) {
        Sound sound;
        ASSERT_EQ(sound.LoadFromBytes(c.file, "x.wav"), Ok) << c.what;
        EXPECT_EQ(sound.Samples(), c.samples) << c.what;
    }
}

TEST(SoundFile, BrokenFilesFailAndLeaveTheSoundAsItWas) {
    struct Case {
        const char* what;
        std::vector<char> file;
        ResultCode result;
    };
    const std::vector<char> whole = Wav(1, 2, 48000, 16, Bytes({1, 0, 2, 0, 3, 0, 4, 0}));
    const std::vector<char> cut(whole.begin(), whole.end() - 3);
    const Case cases[] = {
        {"data cut short", cut, Fail},
        {"no data chunk", Wav(1, 2, 48000, 16, {}), Fail},
        {"unknown format", Wav(2, 2, 48000, 16, Bytes({1, 0, 2, 0})), Fail},
        {"three channels", Wav(1, 3, 48000, 16, Bytes({1, 0, 2, 0, 3, 0})), Fail},
        {"zero rate", Wav(1, 1, 0, 16, Bytes({1, 0})), Fail},
        {"header only", Bytes({'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}), Fail},
        {"not a sound", Bytes({'h', 'e', 'l', 'l', 'o'}), NoFile},
        {"empty", {}, NoFile},
    };
    for (const Case& c : cases) {
        Sound sound;
        ASSERT_EQ(sound.SetSamples({9, 9}), Ok);
        EXPECT_EQ(sound.LoadFromBytes(c.file, "broken.wav"), c.result) << c.what;
        EXPECT_EQ(sound.Samples(), (std::vector<int16_t>{9, 9})) << c.what;
    }
    Sound sound;
    EXPECT_EQ(sound.LoadFromFile(TempPath("missing.wav")), NoFile);
    // A directory opens as a file on some systems and reports an absurd size.
    EXPECT_EQ(sound.LoadFromFile(std::filesystem::temp_directory_path().string()), NoFile);
    EXPECT_FALSE(sound.Loaded());
    EXPECT_EQ(sound.SetSamples({1}), Fail);
}

TEST(SoundFile, WrittenWavReadsBackAndLoadsFromAPack) {
    const std::vector<int16_t> samples{1, -2, 300, -32768, 32767, 0};
    const std::string path = TempPath("round.wav");
    ASSERT_EQ(SaveWavFile(path, samples), Ok);
    Sound fromFile;
    ASSERT_EQ(fromFile.LoadFromFile(path), Ok);
    EXPECT_EQ(fromFile.Samples(), samples);

    const std::string packPath = TempPath("sounds.pak");
    {
        ResourcePack writer;
        ASSERT_TRUE(writer.IncludeFile(path));
        ASSERT_TRUE(writer.WritePack(packPath, "key"));
        // Closed at the end of this block: Windows removes no file that is still open.
        ResourcePack pack;
        ASSERT_TRUE(pack.OpenPack(packPath, "key"));
        ASSERT_EQ(pack.Entries().size(), 1u);
        Sound fromPack;
        ASSERT_EQ(fromPack.LoadFromPack(pack, pack.Entries().begin()->first), Ok);
        EXPECT_EQ(fromPack.Samples(), samples);
        EXPECT_EQ(fromPack.LoadFromPack(pack, "absent.wav"), NoFile);
    }
    std::filesystem::remove(path);
    std::filesystem::remove(packPath);
    EXPECT_EQ(SaveWavFile(TempPath("no-such-dir") + "/x.wav", samples), Fail);
}

#ifdef TESSERINE_TEST_CODECS
std::vector<char> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(SoundFile, OggAndMp3DecodeAndACutFileKeepsWhatCameBeforeTheCut) {
    for (const char* path : {TESSERINE_TEST_OGG, TESSERINE_TEST_MP3}) {
        const std::vector<char> whole = ReadAll(path);
        Sound sound;
        ASSERT_EQ(sound.LoadFromBytes(whole, path), Ok) << path;
        EXPECT_GT(sound.Frames(), AudioRate / 50) << path;

        Sound cut;
        ASSERT_EQ(cut.LoadFromBytes({whole.begin(), whole.begin() + whole.size() * 3 / 4}, path),
                  Ok)
            << path;
        EXPECT_GT(cut.Frames(), 0u) << path;
        EXPECT_LT(cut.Frames(), sound.Frames()) << path;

        std::vector<char> corrupt(whole.begin(), whole.begin() + 4);
        corrupt.resize(4096, '\x55');
        EXPECT_EQ(cut.LoadFromBytes(corrupt, path), Fail) << path;
    }
}
#endif

} // namespace
} // namespace dral
