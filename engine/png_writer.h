// A minimal PNG writer for 8-bit RGBA images: stored (uncompressed) deflate blocks, so it needs no
// compression library. The engine saves frames with it; the font tool draws its sheet with it.
#pragma once

#include <cstdint>
#include <string>

namespace dral {

/// Writes width x height RGBA pixels (4 bytes each, rows top first, no padding) to path as a PNG.
/// False when a side is not positive, the image is too large for one PNG, or the file cannot be
/// written.
bool WritePng(const std::string& path, int32_t width, int32_t height, const uint8_t* rgba);

} // namespace dral
