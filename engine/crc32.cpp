// CRC-32 through a table of the 256 byte remainders, built at compile time.
#include "engine/crc32.h"

#include <array>

namespace dral {

namespace {

constexpr std::array<uint32_t, 256> MakeCrcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; i++) {
        uint32_t c = i;
        for (int k = 0; k < 8; k++) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
        table[i] = c;
    }
    return table;
}
constexpr std::array<uint32_t, 256> CrcTable = MakeCrcTable();

} // namespace

uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t size) {
    crc = ~crc;
    for (size_t i = 0; i < size; i++) crc = CrcTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

} // namespace dral
