// A program on the core library alone: it brings its own (empty) back-end set, draws into a
// sprite, writes and reads a sprite file, and finds no image decoder. Its link line is checked
// for window-system, GL and Win32 libraries by core-link-check.
#include <cstdio>
#include <filesystem>

#include "assets/image_decoder.h"
#include "engine/backend.h"
#include "engine/sprite.h"

namespace dral {
void CreateDefaultBackends(std::unique_ptr<Platform>&, std::unique_ptr<Renderer>&) {}
std::unique_ptr<Renderer> CreateFallbackRenderer() {
    return nullptr;
}
const ImageDecoder* DefaultImageDecoder() {
    return nullptr;
}
} // namespace dral

int main() {
    dral::Sprite sprite(4, 3);
    sprite.SetPixel(1, 2, dral::Red);
    const auto file = std::filesystem::temp_directory_path() / "tesserine_core_probe.spr";
    dral::Sprite loaded;
    const bool roundTrip = sprite.SaveToSpriteFile(file.string()) == dral::Ok &&
                           loaded.LoadFromSpriteFile(file.string()) == dral::Ok &&
                           loaded.GetPixel(1, 2) == dral::Red;
    std::filesystem::remove(file);
    const bool noDecoder = loaded.LoadImageFile(file.string(), nullptr) == dral::NoFile;
    std::printf("sprite file %s, image without decoder %s\n", roundTrip ? "ok" : "BROKEN",
                noDecoder ? "NoFile" : "WRONG");
    return roundTrip && noDecoder ? 0 : 1;
}
