// CRC-32 with the zlib polynomial, the checksum of PNG chunks and of recordings.
// Depends on nothing but the standard library.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dral {

/// The CRC-32 (zlib's polynomial 0xEDB88320, reflected) of size bytes, continued from crc: pass
/// 0 to start, and a previous result to go on over more bytes, so Crc32(Crc32(0, a), b) is the
/// checksum of a followed by b. Crc32(0, "123456789", 9) is 0xCBF43926.
uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t size);

} // namespace dral
