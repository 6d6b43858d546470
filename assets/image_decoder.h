// The seam between sprites and image-file decoding: the core reads no image format itself but
// hands files and pack entries to a decoder, so a build without a window system needs none.
#pragma once

#include <string>
#include <vector>

#include "engine/result.h"

namespace dral {

class Sprite;

// Decodes whole image files into sprites. Implementations keep the file's straight RGBA and, on
// any failure, answer NoFile and leave the sprite as it was.
class ImageDecoder {
  public:
    virtual ~ImageDecoder() = default;
    // Replaces the sprite's size and pixels with the image in the file at the UTF-8 path.
    virtual ResultCode DecodeFile(const std::string& path, Sprite& sprite) const = 0;
    // The same from bytes in memory (a pack entry); name's extension may hint the format.
    virtual ResultCode DecodeBytes(const std::vector<char>& bytes, const std::string& name,
                                   Sprite& sprite) const = 0;
};

// The decoder of the back-end set the program links (null when that set has none); defined by
// that set's library, as CreateDefaultBackends is.
const ImageDecoder* DefaultImageDecoder();

// Makes sprites load through decoder from now on; nullptr goes back to DefaultImageDecoder. The
// decoder must outlive its use. Any thread may call it, but not while another thread loads.
void UseImageDecoder(const ImageDecoder* decoder);

} // namespace dral
