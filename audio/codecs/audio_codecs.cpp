// OGG and MP3 decoding into 16-bit PCM from a file's bytes in memory.
#include "audio/codecs/audio_codecs.h"

#include <algorithm>
#include <cstring>

#include <mpg123.h>
// The header's static callback tables would be unused here.
#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

namespace dral {

namespace {

bool EndsWith(const std::string& name, const char* suffix) {
    const size_t n = std::strlen(suffix);
    if (name.size() < n) return false;
    return std::equal(name.end() - static_cast<std::ptrdiff_t>(n), name.end(), suffix,
                      [](char a, char b) { return std::tolower(a) == b; });
}

bool IsOgg(const std::vector<char>& bytes) {
    return bytes.size() >= 4 && std::memcmp(bytes.data(), "OggS", 4) == 0;
}

bool IsMp3(const std::vector<char>& bytes, const std::string& name) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    const bool id3 = bytes.size() >= 3 && std::memcmp(b, "ID3", 3) == 0;
    const bool frame = bytes.size() >= 2 && b[0] == 0xFF && (b[1] & 0xE0) == 0xE0;
    return id3 || frame || EndsWith(name, ".mp3");
}

// What decoding kept: Ok with samples, Fail when nothing decoded or the format does not fit.
ResultCode Finish(DecodedAudio& out) {
    const bool usable =
        !out.samples.empty() && out.rate > 0 && (out.channels == 1 || out.channels == 2);
    if (usable) {
        out.samples.resize(out.samples.size() - out.samples.size() % out.channels);
        return Ok;
    }
    out = {};
    return Fail;
}

// Makes room for the whole sound at once when the decoder knows its length, so that decoding does
// not grow the buffer by doubling (copying it each time and holding up to twice its size). Lengths
// over twenty minutes are taken for corrupt and not reserved.
void ReserveFrames(DecodedAudio& out, int64_t frames) {
    if (frames > 0 && out.rate > 0 && frames <= int64_t{out.rate} * 60 * 20)
        out.samples.reserve(static_cast<size_t>(frames) * out.channels);
}

// Adds the whole 16-bit samples among `bytes` decoded bytes.
void Append(std::vector<int16_t>& samples, const void* decoded, size_t bytes) {
    if (bytes < 2) return;
    const size_t at = samples.size();
    samples.resize(at + bytes / 2);
    std::memcpy(samples.data() + at, decoded, bytes / 2 * 2);
}

// A read position over the file's bytes for libvorbisfile's callbacks.
struct MemoryFile {
    const std::vector<char>* bytes;
    size_t at = 0;
};

size_t ReadMemory(void* into, size_t size, size_t count, void* source) {
    auto* file = static_cast<MemoryFile*>(source);
    const size_t n = std::min(size * count, file->bytes->size() - file->at);
    std::memcpy(into, file->bytes->data() + file->at, n);
    file->at += n;
    return size == 0 ? 0 : n / size;
}

int SeekMemory(void* source, ogg_int64_t offset, int whence) {
    auto* file = static_cast<MemoryFile*>(source);
    const auto size = static_cast<ogg_int64_t>(file->bytes->size());
    const ogg_int64_t base = whence == SEEK_CUR   ? static_cast<ogg_int64_t>(file->at)
                             : whence == SEEK_END ? size
                                                  : 0;
    if (base + offset < 0 || base + offset > size) return -1;
    file->at = static_cast<size_t>(base + offset);
    return 0;
}

long TellMemory(void* source) {
    return static_cast<long>(static_cast<MemoryFile*>(source)->at);
}

ResultCode DecodeOgg(const std::vector<char>& bytes, DecodedAudio& out) {
    MemoryFile file{&bytes};
    OggVorbis_File vorbis;
    const ov_callbacks callbacks{ReadMemory, SeekMemory, nullptr, TellMemory};
    if (ov_open_callbacks(&file, &vorbis, nullptr, 0, callbacks) != 0) return Fail;
    const vorbis_info* info = ov_info(&vorbis, -1);
    out.rate = static_cast<uint32_t>(info->rate);
    out.channels = static_cast<uint32_t>(info->channels);
    ReserveFrames(out, ov_pcm_total(&vorbis, -1));
    char buffer[8192];
    int section = 0;
    long got;
    while ((got = ov_read(&vorbis, buffer, sizeof buffer, 0, 2, 1, &section)) != 0) {
        // A hole in the stream is skipped; a broken one ends the sound where it broke.
        if (got == OV_HOLE) continue;
        if (got < 0) break;
        Append(out.samples, buffer, static_cast<size_t>(got));
    }
    ov_clear(&vorbis);
    return Finish(out);
}

// Accepts every rate libmpg123 decodes, one or two channels, as signed 16-bit.
void AllowSigned16(mpg123_handle* handle) {
    mpg123_format_none(handle);
    const long* rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i)
        mpg123_format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
}

ResultCode DecodeMp3(const std::vector<char>& bytes, DecodedAudio& out) {
    mpg123_handle* handle = mpg123_new(nullptr, nullptr);
    if (!handle) return Fail;
    AllowSigned16(handle);
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    if (mpg123_open_feed(handle) == MPG123_OK &&
        mpg123_set_filesize(handle, static_cast<off_t>(bytes.size())) == MPG123_OK &&
        mpg123_feed(handle, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()) ==
            MPG123_OK) {
        unsigned char buffer[16384];
        for (;;) {
            size_t got = 0;
            const int result = mpg123_read(handle, buffer, sizeof buffer, &got);
            if (result == MPG123_NEW_FORMAT) {
                long rate = 0;
                int channels = 0, encoding = 0;
                mpg123_getformat(handle, &rate, &channels, &encoding);
                out.rate = static_cast<uint32_t>(rate);
                out.channels = static_cast<uint32_t>(channels);
                // The length is estimated from the file's size; a frame more covers its rounding.
                ReserveFrames(out, mpg123_length(handle) + 1152);
            }
            Append(out.samples, buffer, got);
            if (result != MPG123_OK && result != MPG123_NEW_FORMAT) break;
        }
    }
    mpg123_delete(handle);
    return Finish(out);
}

class CodecDecoder : public AudioDecoder {
  public:
    ResultCode Decode(const std::vector<char>& bytes, const std::string& name,
                      DecodedAudio& out) const override {
        out = {};
        if (IsOgg(bytes)) return DecodeOgg(bytes, out);
        if (IsMp3(bytes, name)) return DecodeMp3(bytes, out);
        return NoFile;
    }
};

} // namespace

const AudioDecoder& CodecAudioDecoder() {
    static const CodecDecoder decoder;
    return decoder;
}

} // namespace dral
