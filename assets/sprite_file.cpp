// The raw sprite file: int32 width, int32 height, then width * height RGBA pixels row by row,
// little-endian, no header. Loading trusts no size it reads: a damaged file leaves the sprite
// empty (0 x 0, no pixels) and answers Fail.
#include <fstream>
#include <istream>
#include <limits>

#include "assets/resource_pack.h"
#include "engine/sprite.h"

namespace dral {
namespace {

bool ReadInt32(std::istream& in, int32_t& value) {
    unsigned char b[4];
    if (!in.read(reinterpret_cast<char*>(b), 4)) return false;
    value =
        int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
    return true;
}

void WriteInt32(std::ostream& out, int32_t value) {
    const uint32_t bits = uint32_t(value);
    const char b[4] = {char(bits), char(bits >> 8), char(bits >> 16), char(bits >> 24)};
    out.write(b, 4);
}

// Reads a sprite from a stream holding `available` bytes into an empty sprite.
ResultCode ReadSprite(std::istream& in, uint64_t available, Sprite& sprite) {
    int32_t w = 0, h = 0;
    if (!ReadInt32(in, w) || !ReadInt32(in, h) || w < 0 || h < 0 || available < 8) return Fail;
    // Pixel indices are int32 arithmetic, so the count must fit one; the file must hold them all.
    const uint64_t count = uint64_t(w) * uint64_t(h);
    if (count > uint64_t(std::numeric_limits<int32_t>::max()) || count * 4 > available - 8)
        return Fail;
    Pixel* fresh = AllocatePixels(w, h);
    if (!fresh) return Fail;
    if (!in.read(reinterpret_cast<char*>(fresh), std::streamsize(count * 4))) {
        delete[] fresh;
        return Fail;
    }
    sprite.width = w;
    sprite.height = h;
    sprite.pixels = fresh;
    return Ok;
}

uint64_t StreamSize(std::ifstream& in) {
    const std::streamoff size = in.seekg(0, std::ios::end).tellg();
    in.seekg(0);
    return size < 0 ? 0 : uint64_t(size);
}

} // namespace

ResultCode Sprite::LoadFromSpriteFile(const std::string& spriteFile, ResourcePack* pack) {
    delete[] pixels;
    pixels = nullptr;
    width = height = 0;
    if (pack) {
        ResourceBuffer entry = pack->ReadEntry(spriteFile);
        if (!entry.complete) return Fail;
        std::istream in(&entry);
        return ReadSprite(in, entry.bytes.size(), *this);
    }
    std::ifstream in(spriteFile, std::ios::binary);
    if (!in.is_open()) return Fail;
    return ReadSprite(in, StreamSize(in), *this);
}

ResultCode Sprite::SaveToSpriteFile(const std::string& spriteFile) const {
    if (!pixels || width < 0 || height < 0) return Fail;
    std::ofstream out(spriteFile, std::ios::binary | std::ios::trunc);
    if (!out.is_open()) return Fail;
    WriteInt32(out, width);
    WriteInt32(out, height);
    out.write(reinterpret_cast<const char*>(pixels), std::streamsize(width) * height * 4);
    out.close();
    return out.fail() ? Fail : Ok;
}

} // namespace dral
