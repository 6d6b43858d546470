// The image decoder on GDI+ (PNG, BMP, GIF, JPEG, TIFF...), the default of the Windows build.
#pragma once

#include "assets/image_decoder.h"

namespace dral {

// The process-wide GDI+ decoder; GDI+ starts before main and lives until the process ends.
const ImageDecoder& GdiplusImageDecoder();

} // namespace dral
