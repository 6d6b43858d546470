// Runs in the browser build: loads an image the page preloaded and one from a resource pack through
// the browser's decoder (the pack only in the threaded page), and checks the failures. Prints
// "assets: ok" or what went wrong; the browser test reads it from the page's console.
#include <cstdio>
#include <string>

#include "assets/resource_pack.h"
#include "engine/sprite.h"

namespace {

// The 3 x 2 image embedded as ramp.png, row by row.
const dral::Pixel Ramp[6] = {{255, 0, 0, 255},  {0, 255, 0, 255},    {0, 0, 255, 255},
                             {10, 20, 30, 255}, {200, 100, 50, 255}, {255, 255, 255, 255}};

std::string CheckRamp(const dral::Sprite& sprite, const char* from) {
    if (sprite.width != 3 || sprite.height != 2 || !sprite.pixels)
        return std::string(from) + ": wrong size " + std::to_string(sprite.width) + "x" +
               std::to_string(sprite.height);
    for (int i = 0; i < 6; ++i)
        if (sprite.pixels[i] != Ramp[i]) return std::string(from) + ": pixel " + std::to_string(i);
    return "";
}

std::string Run() {
    dral::Sprite fromFile;
    if (fromFile.LoadImageFile("ramp.png", nullptr) != dral::Ok) return "file: not loaded";
    if (std::string wrong = CheckRamp(fromFile, "file"); !wrong.empty()) return wrong;

    dral::ResourcePack writer;
    if (!writer.IncludeFile("ramp.png") || !writer.WritePack("/tmp/probe.pak", "browser"))
        return "pack: not written";
    dral::ResourcePack pack;
    if (!pack.OpenPack("/tmp/probe.pak", "browser")) return "pack: not opened";
    dral::Sprite fromPack;
#ifdef __EMSCRIPTEN_PTHREADS__
    if (fromPack.LoadImageFile("ramp.png", &pack) != dral::Ok) return "pack: not loaded";
    if (std::string wrong = CheckRamp(fromPack, "pack"); !wrong.empty()) return wrong;
#else
    // The page of one thread cannot wait for the browser to decode bytes it did not preload.
    if (fromPack.LoadImageFile("ramp.png", &pack) != dral::NoFile || fromPack.pixels)
        return "pack: loaded on one thread";
#endif

    // Failures leave the sprite as it was.
    if (fromFile.LoadImageFile("missing.png", nullptr) != dral::NoFile) return "missing: loaded";
    if (std::FILE* garbage = std::fopen("/tmp/garbage.png", "wb")) {
        std::fputs("not an image at all", garbage);
        std::fclose(garbage);
    }
    if (fromFile.LoadImageFile("/tmp/garbage.png", nullptr) != dral::NoFile)
        return "garbage: loaded";
    return CheckRamp(fromFile, "after failures");
}

} // namespace

int main() {
    const std::string wrong = Run();
    std::printf("assets: %s\n", wrong.empty() ? "ok" : wrong.c_str());
    return 0;
}
