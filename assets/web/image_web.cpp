// Image files decoded by the browser. A file the page preloaded was decoded as the page loaded and
// is read back at once; in the threaded page other bytes go to the browser thread, which decodes
// them with createImageBitmap while the caller waits. Failures answer NoFile and leave the sprite
// as it was. Translucent pixels pass through a 2-D canvas, so their colour may differ by rounding.
#include "assets/web/image_web.h"

#include <emscripten/emscripten.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "engine/sprite.h"

#ifdef __EMSCRIPTEN_PTHREADS__
#include <emscripten/threading.h>

#include <atomic>
#include <cmath>
#include <fstream>
#include <iterator>
#endif

namespace dral {
namespace {

// RGBA from the browser, malloc'd by its JavaScript side.
struct Decoded {
    int32_t width = 0;
    int32_t height = 0;
    std::unique_ptr<uint8_t, decltype(&std::free)> pixels{nullptr, &std::free};
};

ResultCode CopyInto(const Decoded& image, Sprite& sprite) {
    if (!image.pixels || image.width < 0 || image.height < 0) return NoFile;
    // The size was checked by the allocation, so the product below cannot wrap.
    Pixel* fresh = AllocatePixels(image.width, image.height);
    if (!fresh) return NoFile;
    std::memcpy(fresh, image.pixels.get(),
                size_t(image.width) * size_t(image.height) * sizeof(Pixel));
    delete[] sprite.pixels;
    sprite.pixels = fresh;
    sprite.width = image.width;
    sprite.height = image.height;
    return Ok;
}

// The image the page decoded when it preloaded the file at path, if it did.
Decoded Preloaded(const std::string& path) {
    Decoded image;
    int width = 0, height = 0;
    image.pixels.reset(reinterpret_cast<uint8_t*>(
        emscripten_get_preloaded_image_data(path.c_str(), &width, &height)));
    image.width = width;
    image.height = height;
    return image;
}

#ifdef __EMSCRIPTEN_PTHREADS__
// Filled in by the browser thread: state 0 while decoding, 1 done, 2 failed. The layout is fixed
// because JavaScript writes it as four int32 values.
struct DecodeResult {
    std::atomic<int32_t> state{0};
    int32_t width = 0;
    int32_t height = 0;
    uint8_t* pixels = nullptr;
};
static_assert(sizeof(DecodeResult) == 16 && sizeof(std::atomic<int32_t>) == 4);

// Decoding in the browser is asynchronous, so the calling worker waits for it; the browser thread
// itself must never wait, and gets no image.
Decoded DecodeOnBrowserThread(const std::vector<char>& bytes) {
    Decoded image;
    if (bytes.empty() || emscripten_is_main_browser_thread()) return image;
    DecodeResult result;
    MAIN_THREAD_ASYNC_EM_ASM(
        {
            const bytes = HEAPU8.slice($0, $0 + $1);
            const out = $2 >> 2;
            const finish = function(state) {
                Atomics.store(HEAP32, out, state);
                Atomics.notify(HEAP32, out);
            };
            createImageBitmap(new Blob([bytes]),
                              {premultiplyAlpha : 'none', colorSpaceConversion : 'none'})
                .then(function(bitmap) {
                    const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
                    const context = canvas.getContext('2d');
                    context.drawImage(bitmap, 0, 0);
                    const data = context.getImageData(0, 0, bitmap.width, bitmap.height).data;
                    const pixels = _malloc(data.length);
                    if (!pixels) return finish(2);
                    HEAPU8.set(data, pixels);
                    HEAP32[out + 1] = bitmap.width;
                    HEAP32[out + 2] = bitmap.height;
                    HEAP32[out + 3] = pixels;
                    finish(1);
                })
                .catch(function() { finish(2); });
        },
        bytes.data(), bytes.size(), &result);
    while (result.state.load() == 0)
        emscripten_futex_wait(reinterpret_cast<volatile void*>(&result.state), 0, INFINITY);
    if (result.state.load() != 1) return image;
    image.pixels.reset(result.pixels);
    image.width = result.width;
    image.height = result.height;
    return image;
}

std::vector<char> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
#else
// Without a thread that may wait, bytes the page did not preload cannot be decoded.
Decoded DecodeOnBrowserThread(const std::vector<char>&) {
    return {};
}

std::vector<char> ReadFile(const std::string&) {
    return {};
}
#endif

class BrowserDecoder : public ImageDecoder {
  public:
    ResultCode DecodeFile(const std::string& path, Sprite& sprite) const override {
        Decoded image = Preloaded(path);
        if (!image.pixels) image = DecodeOnBrowserThread(ReadFile(path));
        return CopyInto(image, sprite);
    }
    ResultCode DecodeBytes(const std::vector<char>& bytes, const std::string&,
                           Sprite& sprite) const override {
        return CopyInto(DecodeOnBrowserThread(bytes), sprite);
    }
};

} // namespace

const ImageDecoder& BrowserImageDecoder() {
    static const BrowserDecoder decoder;
    return decoder;
}

} // namespace dral
