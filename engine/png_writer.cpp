// The PNG writer: signature, IHDR, one IDAT of stored deflate blocks (with its Adler-32), IEND,
// each chunk with its CRC-32.
#include "engine/png_writer.h"

#include "engine/crc32.h"

#include <algorithm>
#include <fstream>
#include <vector>

namespace dral {

namespace {

// A PNG chunk length is a 31-bit number; staying well below it keeps every size in range.
constexpr uint64_t MaxImageBytes = uint64_t(1) << 30;

void PutBigEndian(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char type[5], const std::vector<uint8_t>& data) {
    PutBigEndian(out, uint32_t(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian(out, Crc32(0, out.data() + start, out.size() - start));
}

// A zlib stream of stored deflate blocks of at most 65535 bytes each.
std::vector<uint8_t> ZlibStored(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> z{0x78, 0x01};
    z.reserve(raw.size() + raw.size() / 65535 * 5 + 16);
    size_t pos = 0;
    do {
        const size_t n = std::min<size_t>(raw.size() - pos, 65535);
        const bool last = pos + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(uint8_t(n));
        z.push_back(uint8_t(n >> 8));
        z.push_back(uint8_t(~n));
        z.push_back(uint8_t(~n >> 8));
        z.insert(z.end(), raw.begin() + long(pos), raw.begin() + long(pos + n));
        pos += n;
    } while (pos < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(z, (b << 16) | a);
    return z;
}

} // namespace

bool WritePng(const std::string& path, int32_t width, int32_t height, const uint8_t* rgba) {
    if (width <= 0 || height <= 0 || !rgba) return false;
    const uint64_t rowBytes = uint64_t(width) * 4;
    if ((rowBytes + 1) * uint64_t(height) > MaxImageBytes) return false;
    std::vector<uint8_t> raw;
    raw.reserve(size_t((rowBytes + 1) * uint64_t(height)));
    for (int32_t y = 0; y < height; ++y) {
        raw.push_back(0); // filter: none
        const uint8_t* row = rgba + size_t(y) * size_t(rowBytes);
        raw.insert(raw.end(), row, row + rowBytes);
    }
    std::vector<uint8_t> header;
    PutBigEndian(header, uint32_t(width));
    PutBigEndian(header, uint32_t(height));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8-bit RGBA, deflate, no interlace

    std::vector<uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", ZlibStored(raw));
    PutChunk(png, "IEND", {});
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), long(png.size()));
    // A small file stays in the stream's buffer until the close: only then is a full disk known.
    out.close();
    return !out.fail();
}

} // namespace dral
