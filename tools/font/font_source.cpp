// Parsing of the glyph file, the sheet packing rule, and a minimal PNG writer (stored deflate
// blocks, so it needs no compression library).
#include "tools/font/font_source.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace dral::font {

namespace {

bool Fail(std::string& error, int line, const std::string& why) {
    error = "line " + std::to_string(line) + ": " + why;
    return false;
}

bool IsSkipped(const std::string& line) {
    return line.empty() || line[0] == ';';
}

} // namespace

bool ReadGlyphSource(const std::string& path, SheetInk& ink, std::string& error) {
    std::ifstream in(path);
    if (!in) return Fail(error, 0, "cannot open " + path);
    ink.fill(false);
    std::string line;
    int lineNo = 0, expected = FirstChar, row = 8;
    while (std::getline(in, line)) {
        ++lineNo;
        if (row < 8) {
            if (line.size() != 8 || line.find_first_not_of(".#") != std::string::npos)
                return Fail(error, lineNo, "a glyph row is eight '.' or '#'");
            const int cell = expected - 1 - FirstChar;
            for (int x = 0; x < 8; ++x) {
                const int sx = 8 * (cell % 16) + x, sy = 8 * (cell / 16) + row;
                ink[size_t(sy * SheetWidth + sx)] = line[size_t(x)] == '#';
            }
            ++row;
            continue;
        }
        if (IsSkipped(line)) continue;
        int code = -1;
        std::istringstream header(line);
        char mark = 0;
        if (!(header >> mark >> code) || mark != '=')
            return Fail(error, lineNo, "expected '= CODE NAME'");
        if (code != expected)
            return Fail(error, lineNo, "expected glyph " + std::to_string(expected));
        ++expected;
        row = 0;
    }
    if (row < 8) return Fail(error, lineNo, "the last glyph is cut short");
    if (expected != FirstChar + GlyphCount) return Fail(error, lineNo, "glyphs are missing");
    return true;
}

std::string PackSheet(const SheetInk& ink) {
    std::string packed;
    packed.reserve(1024);
    for (int x = 0; x < SheetWidth; ++x) {
        for (int half = 0; half < 2; ++half) {
            uint32_t word = 0;
            for (int i = 0; i < 24; ++i)
                if (ink[size_t((24 * half + i) * SheetWidth + x)]) word |= 1u << i;
            for (int shift = 18; shift >= 0; shift -= 6)
                packed += static_cast<char>('0' + ((word >> shift) & 63u));
        }
    }
    return packed;
}

std::string PackedSheetSource(const std::string& packed) {
    std::string out;
    for (size_t i = 0; i < packed.size(); i += 64)
        out += "    R\"(" + packed.substr(i, 64) + ")\"\n";
    return out;
}

namespace {

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBigEndian(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char type[5], const std::vector<uint8_t>& data) {
    PutBigEndian(out, uint32_t(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian(out, Crc32(out.data() + start, out.size() - start));
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::vector<uint8_t> ZlibStored(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> z{0x78, 0x01};
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

bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba) {
    if (width <= 0 || height <= 0 || rgba.size() != size_t(width) * size_t(height) * 4)
        return false;
    std::vector<uint8_t> raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0); // filter: none
        const auto row = rgba.begin() + long(size_t(y) * size_t(width) * 4);
        raw.insert(raw.end(), row, row + width * 4);
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
    return bool(out);
}

} // namespace dral::font
