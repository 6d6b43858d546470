// Image files decoded with SDL2_image into sprites. Pixels keep the file's straight RGBA; any
// failure answers NoFile and leaves the sprite as it was.
#include "assets/sdl2_image/image_sdl2.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>
#include <limits>
#include <memory>

#include "engine/sprite.h"

namespace dral {
namespace {

struct SurfaceRelease {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceRelease>;

// Loads the decoder's format libraries once for the whole process; they are never unloaded.
void StartDecoder() {
    static const int started = IMG_Init(IMG_INIT_JPG | IMG_INIT_PNG | IMG_INIT_TIF | IMG_INIT_WEBP);
    (void)started;
}

SDL_RWops* OpenBytes(const std::vector<char>& bytes) {
    if (bytes.empty() || bytes.size() > size_t(std::numeric_limits<int>::max())) return nullptr;
    return SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
}

// The name's extension hints formats that carry no signature (TGA); taken the way IMG_Load takes
// it, so a pack entry decodes exactly as the same file on disk.
Surface Decode(SDL_RWops* source, const std::string& name) {
    StartDecoder();
    if (!source) return nullptr;
    const char* dot = std::strrchr(name.c_str(), '.');
    Surface decoded(IMG_LoadTyped_RW(source, 1, dot ? dot + 1 : nullptr));
    if (!decoded) return nullptr;
    return Surface(SDL_ConvertSurfaceFormat(decoded.get(), SDL_PIXELFORMAT_RGBA32, 0));
}

ResultCode CopyInto(const Surface& image, Sprite& sprite) {
    if (!image || image->w < 0 || image->h < 0) return NoFile;
    // RGBA32 is the byte order r, g, b, a in memory, which is the layout of Pixel.
    const size_t rowBytes = size_t(image->w) * sizeof(Pixel);
    Pixel* fresh = AllocatePixels(image->w, image->h);
    if (!fresh) return NoFile;
    const auto* source = static_cast<const unsigned char*>(image->pixels);
    // A zero-width image has no pixel memory at all to copy from.
    for (int y = 0; rowBytes > 0 && y < image->h; ++y)
        std::memcpy(fresh + size_t(y) * size_t(image->w), source + size_t(y) * size_t(image->pitch),
                    rowBytes);
    delete[] sprite.pixels;
    sprite.pixels = fresh;
    sprite.width = image->w;
    sprite.height = image->h;
    return Ok;
}

class SdlDecoder : public ImageDecoder {
  public:
    ResultCode DecodeFile(const std::string& path, Sprite& sprite) const override {
        return CopyInto(Decode(SDL_RWFromFile(path.c_str(), "rb"), path), sprite);
    }
    ResultCode DecodeBytes(const std::vector<char>& bytes, const std::string& name,
                           Sprite& sprite) const override {
        return CopyInto(Decode(OpenBytes(bytes), name), sprite);
    }
};

} // namespace

const ImageDecoder& SdlImageDecoder() {
    static const SdlDecoder decoder;
    return decoder;
}

} // namespace dral
