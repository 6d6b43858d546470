// Loading sounds: WAV files read here, other formats through the build's decoder, every result
// converted once to 48 kHz stereo so that mixing never resamples; and WAV writing.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "assets/resource_pack.h"
#include "engine/audio.h"

namespace dral {

namespace {

// Sounds longer than this are refused: a corrupt header must not make the loader reserve
// gigabytes, and no game keeps more than this decoded.
constexpr uint64_t MaxFrames = uint64_t{AudioRate} * 60 * 20;
// Larger files are not read: twenty minutes of 96 kHz stereo float WAV stay below it.
constexpr std::streamoff MaxFileBytes = std::streamoff{1} << 30;

uint32_t ReadLE(const unsigned char* p, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | p[i];
    return value;
}

struct WavFormat {
    uint32_t tag = 0;
    uint32_t channels = 0;
    uint32_t rate = 0;
    uint32_t bits = 0;
};

bool IsWav(const std::vector<char>& bytes) {
    return bytes.size() >= 12 && std::memcmp(bytes.data(), "RIFF", 4) == 0 &&
           std::memcmp(bytes.data() + 8, "WAVE", 4) == 0;
}

// One sample of the data chunk as 16 bits: 8-bit is unsigned, 24-bit keeps its top 16 bits,
// 32-bit float is scaled and clipped.
int16_t WavSample(const unsigned char* p, const WavFormat& format) {
    switch (format.bits) {
    case 8:
        return static_cast<int16_t>((p[0] - 128) * 256);
    case 16:
        return static_cast<int16_t>(ReadLE(p, 2));
    case 24:
        return static_cast<int16_t>(ReadLE(p + 1, 2));
    default: {
        const uint32_t raw = ReadLE(p, 4);
        float value;
        std::memcpy(&value, &raw, 4);
        if (!(value == value)) value = 0.0f;
        return static_cast<int16_t>(std::lround(std::clamp(value, -1.0f, 1.0f) * 32767.0f));
    }
    }
}

bool Supported(const WavFormat& f) {
    const bool pcm = f.tag == 1 && (f.bits == 8 || f.bits == 16 || f.bits == 24);
    const bool floats = f.tag == 3 && f.bits == 32;
    return (pcm || floats) && (f.channels == 1 || f.channels == 2) && f.rate > 0;
}

// Reads the format and data chunks. Fail for a file cut short, a missing chunk or a format
// outside the supported ones.
ResultCode DecodeWav(const std::vector<char>& bytes, DecodedAudio& out) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t size = bytes.size();
    WavFormat format;
    size_t at = 12;
    while (at + 8 <= size) {
        const uint32_t length = ReadLE(data + at + 4, 4);
        const unsigned char* body = data + at + 8;
        if (length > size - at - 8) return Fail;
        if (std::memcmp(data + at, "fmt ", 4) == 0 && length >= 16) {
            format = {ReadLE(body, 2), ReadLE(body + 2, 2), ReadLE(body + 4, 4),
                      ReadLE(body + 14, 2)};
            // WAVE_FORMAT_EXTENSIBLE names the real format in its sub-format's first two bytes.
            if (format.tag == 0xFFFE && length >= 26) format.tag = ReadLE(body + 24, 2);
        } else if (std::memcmp(data + at, "data", 4) == 0) {
            if (!Supported(format)) return Fail;
            const uint32_t step = format.bits / 8;
            const size_t count = length / step;
            out = {format.rate, format.channels, {}};
            out.samples.resize(count - count % format.channels);
            for (size_t i = 0; i < out.samples.size(); ++i)
                out.samples[i] = WavSample(body + i * step, format);
            return Ok;
        }
        at += 8 + length + (length & 1);
    }
    return Fail;
}

// The decoded sound as 48 kHz stereo: mono doubled, other rates interpolated linearly.
bool ToEngineFormat(const DecodedAudio& in, std::vector<int16_t>& out) {
    if (in.rate == 0 || (in.channels != 1 && in.channels != 2)) return false;
    const size_t frames = in.samples.size() / in.channels;
    const uint64_t wanted = uint64_t{frames} * AudioRate / in.rate;
    if (wanted == 0 || wanted > MaxFrames) return false;
    const auto outFrames = static_cast<size_t>(wanted);
    out.resize(outFrames * 2);
    const auto at = [&](size_t frame, uint32_t side) {
        const size_t f = std::min(frame, frames - 1);
        return static_cast<float>(in.samples[f * in.channels + (in.channels == 2 ? side : 0)]);
    };
    for (size_t j = 0; j < outFrames; ++j) {
        const uint64_t source = uint64_t{j} * in.rate;
        const auto i = static_cast<size_t>(source / AudioRate);
        const float fraction = static_cast<float>(source % AudioRate) / AudioRate;
        for (uint32_t side = 0; side < 2; ++side) {
            const float a = at(i, side);
            out[j * 2 + side] =
                static_cast<int16_t>(std::lround(a + (at(i + 1, side) - a) * fraction));
        }
    }
    return true;
}

// glibc raises its mmap threshold to the size of any mmapped block freed, up to 32 MiB, and its
// trim threshold to twice that. Loading a sound frees multi-megabyte buffers (the decoder's output
// once converted), so from then on every allocation below that size comes from the arenas; the
// half- megabyte blocks a software GL driver takes and frees each frame then fragment the engine
// thread's arena, whose resident size climbs in half-megabyte steps for the first half minute.
// Fixing the threshold at glibc's default (128 KiB) keeps such blocks mapped and unmapped whole, as
// they are in a program that loads no sound.
void KeepAllocatorThresholds() {
#ifdef __GLIBC__
    static const bool fixed = mallopt(M_MMAP_THRESHOLD, 128 * 1024) == 1;
    (void)fixed;
#endif
}

void PutLE(std::vector<char>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
}

} // namespace

ResultCode Sound::LoadFromBytes(const std::vector<char>& bytes, const std::string& name) {
    KeepAllocatorThresholds();
    DecodedAudio decoded;
    ResultCode result = NoFile;
    if (IsWav(bytes))
        result = DecodeWav(bytes, decoded);
    else if (const AudioDecoder* decoder = DefaultAudioDecoder())
        result = decoder->Decode(bytes, name, decoded);
    if (result != Ok) return result;
    std::vector<int16_t> stereo;
    if (!ToEngineFormat(decoded, stereo)) return Fail;
    samples = std::make_shared<const std::vector<int16_t>>(std::move(stereo));
    return Ok;
}

ResultCode Sound::LoadFromFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return NoFile;
    // Read in one piece of the file's size rather than grown by doubling. A directory reports an
    // absurd size and reads nothing, so anything past MaxFileBytes is no file.
    const std::streamoff size = file.tellg();
    if (size < 0 || size > MaxFileBytes || !file.seekg(0)) return NoFile;
    std::vector<char> bytes(static_cast<size_t>(size));
    if (!file.read(bytes.data(), static_cast<std::streamsize>(size))) return NoFile;
    return LoadFromBytes(bytes, path);
}

ResultCode Sound::LoadFromPack(ResourcePack& pack, const std::string& name) {
    ResourceBuffer entry = pack.ReadEntry(name);
    if (entry.bytes.empty()) return NoFile;
    if (!entry.complete) return Fail;
    return LoadFromBytes(entry.bytes, name);
}

ResultCode Sound::SetSamples(std::vector<int16_t> stereo) {
    if (stereo.empty() || stereo.size() % 2 != 0 || stereo.size() / 2 > MaxFrames) return Fail;
    samples = std::make_shared<const std::vector<int16_t>>(std::move(stereo));
    return Ok;
}

uint32_t Sound::Frames() const {
    return samples ? static_cast<uint32_t>(samples->size() / 2) : 0;
}

const std::vector<int16_t>& Sound::Samples() const {
    static const std::vector<int16_t> none;
    return samples ? *samples : none;
}

ResultCode SaveWavFile(const std::string& path, const std::vector<int16_t>& stereo) {
    const auto bytes = static_cast<uint32_t>(stereo.size() * 2);
    std::vector<char> out;
    out.reserve(44 + bytes);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    PutLE(out, 36 + bytes, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutLE(out, 16, 4);
    PutLE(out, 1, 2);
    PutLE(out, AudioChannels, 2);
    PutLE(out, AudioRate, 4);
    PutLE(out, AudioRate * AudioChannels * 2, 4);
    PutLE(out, AudioChannels * 2, 2);
    PutLE(out, 16, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    PutLE(out, bytes, 4);
    for (int16_t sample : stereo) PutLE(out, static_cast<uint16_t>(sample), 2);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    file.close();
    return file ? Ok : Fail;
}

} // namespace dral
