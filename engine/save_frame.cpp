// Saving the presented frame as a PNG file, for any renderer that can read its frame back.
#include "engine/png_writer.h"
#include "engine/tesserine.h"

namespace dral {

ResultCode Tesserine::SaveFrame(const std::string& pngFile) {
    Sprite frame;
    if (!renderer || !renderer->ReadFrame(frame) || !frame.pixels) return Fail;
    // A window shows colour only; the alpha that blending leaves in the frame is not part of it.
    const size_t count = size_t(frame.width) * size_t(frame.height);
    for (size_t i = 0; i < count; ++i) frame.pixels[i].a = 255;
    return WritePng(pngFile, frame.width, frame.height,
                    reinterpret_cast<const uint8_t*>(frame.pixels))
               ? Ok
               : Fail;
}

} // namespace dral
