// Fuzzes image decoding from a pack entry, once without a name hint and once as a TGA: a load
// either gives a sprite whose every pixel can be read, or answers NoFile leaving it untouched.
#include "assets/resource_pack.h"
#include "engine/sprite.h"
#include "fuzz_support.h"

using namespace dral;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string packPath = fuzz::ScratchFile("image-pack");
    const std::string pack = fuzz::PackAround({"image", "image.tga"}, data, size);
    fuzz::WriteFile(packPath, reinterpret_cast<const uint8_t*>(pack.data()), pack.size());
    ResourcePack resources;
    fuzz::Check(resources.OpenPack(packPath, ""), "a well-formed pack opens");
    for (const char* name : {"image", "image.tga"}) {
        const Pixel marker(1, 2, 3, 4);
        Sprite sprite(1, 1);
        sprite.SetPixel(0, 0, marker);
        const Pixel* before = sprite.pixels;
        const ResultCode result = sprite.LoadImageFile(name, &resources);
        if (result != Ok) {
            fuzz::Check(result == NoFile, "failure is NoFile");
            fuzz::Check(sprite.pixels == before && sprite.width == 1 && sprite.height == 1 &&
                            sprite.GetPixel(0, 0) == marker,
                        "untouched on failure");
            continue;
        }
        fuzz::Check(sprite.pixels && sprite.width >= 0 && sprite.height >= 0, "a decoded image");
        // Touching the last pixel lets AddressSanitizer see that the array is as large as claimed.
        const int64_t count = int64_t(sprite.width) * sprite.height;
        if (count > 0)
            fuzz::Check(sprite.GetPixel(sprite.width - 1, sprite.height - 1) ==
                            sprite.pixels[count - 1],
                        "the last pixel is where its index says");
    }
    return 0;
}
