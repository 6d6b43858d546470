// Image files loaded into sprites through the current ImageDecoder, from a UTF-8 path or from a
// resource pack entry. Without a decoder every load answers NoFile.
#include "assets/image_decoder.h"

#include <atomic>

#include "assets/resource_pack.h"
#include "engine/sprite.h"

namespace dral {

namespace {
std::atomic<const ImageDecoder*> chosenDecoder{nullptr};
} // namespace

void UseImageDecoder(const ImageDecoder* decoder) {
    chosenDecoder.store(decoder);
}

ResultCode Sprite::LoadImageFile(const std::string& imageFile, ResourcePack* pack) {
    const ImageDecoder* decoder = chosenDecoder.load();
    if (!decoder) decoder = DefaultImageDecoder();
    if (!decoder) return NoFile;
    if (!pack) return decoder->DecodeFile(imageFile, *this);
    // The entry lives until decoding is over: the decoder may read it in place.
    const ResourceBuffer entry = pack->ReadEntry(imageFile);
    if (!entry.complete) return NoFile;
    return decoder->DecodeBytes(entry.bytes, imageFile, *this);
}

} // namespace dral
