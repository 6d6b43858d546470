// The image decoder on SDL2_image (PNG, BMP, JPEG, TGA and whatever else it reads), the default of
// the desktop build. A program on other back-ends can use it too:
// UseImageDecoder(&SdlImageDecoder()).
#pragma once

#include "assets/image_decoder.h"

namespace dral {

// The process-wide SDL2_image decoder; it loads its format libraries on first use.
const ImageDecoder& SdlImageDecoder();

} // namespace dral
