// Image files decoded by the browser, for the web build: the bytes (from the virtual file system
// or a resource pack entry) go to the browser thread, which decodes them with createImageBitmap
// and hands back straight RGBA. Any failure answers NoFile and leaves the sprite as it was.
// Translucent pixels pass through a 2-D canvas, so their colour may differ by rounding.
#include <emscripten/emscripten.h>
#include <emscripten/threading.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "assets/resource_pack.h"
#include "engine/sprite.h"

namespace dral {
namespace {

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
bool Decode(const std::vector<char>& bytes, DecodeResult& result) {
    if (bytes.empty() || emscripten_is_main_browser_thread()) return false;
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
    return result.state.load() == 1;
}

std::vector<char> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

ResultCode Sprite::LoadImageFile(const std::string& imageFile, ResourcePack* pack) {
    // The bytes must stay until the browser has copied them, which Decode waits for.
    const std::vector<char> bytes = pack ? pack->ReadEntry(imageFile).bytes : ReadFile(imageFile);
    DecodeResult result;
    if (!Decode(bytes, result)) return NoFile;
    // The size was checked by the allocation, so the product below cannot wrap.
    Pixel* fresh = AllocatePixels(result.width, result.height);
    if (fresh)
        std::memcpy(fresh, result.pixels,
                    size_t(result.width) * size_t(result.height) * sizeof(Pixel));
    std::free(result.pixels);
    if (!fresh) return NoFile;
    delete[] pixels;
    pixels = fresh;
    width = result.width;
    height = result.height;
    return Ok;
}

} // namespace dral
