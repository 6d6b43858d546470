// Fuzzes LoadFromSpriteFile from disk and from a pack entry: a load either succeeds with exactly
// the file's header and pixels, or fails leaving an empty sprite.
#include <cstring>

#include "assets/resource_pack.h"
#include "engine/sprite.h"
#include "fuzz_support.h"

using namespace dral;

namespace {

void CheckLoaded(const Sprite& sprite, ResultCode result, const uint8_t* data, size_t size) {
    if (result != Ok) {
        fuzz::Check(result == Fail, "failure is Fail");
        fuzz::Check(sprite.width == 0 && sprite.height == 0 && !sprite.pixels, "empty on failure");
        return;
    }
    fuzz::Check(size >= 8 && std::memcmp(&sprite.width, data, 4) == 0 &&
                    std::memcmp(&sprite.height, data + 4, 4) == 0,
                "size from the header");
    const uint64_t bytes = uint64_t(sprite.width) * uint64_t(sprite.height) * 4;
    fuzz::Check(sprite.pixels && sprite.width >= 0 && sprite.height >= 0 && 8 + bytes <= size,
                "pixels within the file");
    fuzz::Check(std::memcmp(sprite.pixels, data + 8, bytes) == 0, "pixels equal the file's");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::ScratchFile("sprite");
    static const std::string packPath = fuzz::ScratchFile("sprite-pack");
    fuzz::WriteFile(path, data, size);
    Sprite sprite(2, 2);
    CheckLoaded(sprite, sprite.LoadFromSpriteFile(path), data, size);

    const std::string pack = fuzz::PackAround({"s"}, data, size);
    fuzz::WriteFile(packPath, reinterpret_cast<const uint8_t*>(pack.data()), pack.size());
    ResourcePack resources;
    fuzz::Check(resources.OpenPack(packPath, ""), "a well-formed pack opens");
    Sprite fromPack(3, 1);
    CheckLoaded(fromPack, fromPack.LoadFromSpriteFile("s", &resources), data, size);
    return 0;
}
