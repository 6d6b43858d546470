// The image decoder of the browser build: the browser decodes the files (PNG, JPEG, BMP, GIF and
// whatever else it reads). Needs Emscripten; the default decoder of the web back-end set.
#pragma once

#include "assets/image_decoder.h"

namespace dral {

// The process-wide browser decoder. Image files the page brought with it (its preloaded assets)
// were decoded while the page loaded and load at any time. Other bytes (pack entries, files
// written while running) can only be decoded by a thread that may wait for the browser: in the
// threaded page they load too; in the page of one thread they answer NoFile.
const ImageDecoder& BrowserImageDecoder();

} // namespace dral
