// Image files (whatever GDI+ decodes: PNG, BMP, GIF, JPEG, TIFF...) read into sprites on Windows,
// from a UTF-8 path or from a resource pack entry. Pixels keep the file's straight alpha; any
// failure to open or decode, or a size no pixel array can hold, answers NoFile and leaves the
// sprite as it was.
#include "assets/gdiplus/image_gdiplus.h"

#include <windows.h>

#include <objidl.h>
#include <shlwapi.h>

#include <gdiplus.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

#include "assets/gdiplus/wide_path.h"
#include "engine/sprite.h"

namespace dral {

namespace {

// Starts GDI+ once, before main; it is never shut down and lives until the process ends. A failed
// start makes every later load fail its creation status.
struct ImageDecoderStartup {
    ImageDecoderStartup() {
        Gdiplus::GdiplusStartupInput input;
        ULONG_PTR token = 0;
        Gdiplus::GdiplusStartup(&token, &input, nullptr);
    }
};
const ImageDecoderStartup imageDecoderStartup;

// A stream that holds its own copy of the bytes, or null when there are none to read.
IStream* CopyIntoStream(const std::vector<char>& bytes) {
    if (bytes.empty() || bytes.size() > UINT_MAX) return nullptr;
    return SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<UINT>(bytes.size()));
}

// Straight 8-bit ARGB, as GDI+ lays it in memory: the bytes blue, green, red, alpha.
struct ArgbBytes {
    uint8_t b, g, r, a;
};
static_assert(sizeof(ArgbBytes) == sizeof(Pixel));

// Turns an array of ARGB words into Pixels in place.
void ArgbToPixels(Pixel* pixels, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        ArgbBytes argb;
        std::memcpy(&argb, &pixels[i], sizeof(argb));
        pixels[i] = Pixel(argb.r, argb.g, argb.b, argb.a);
    }
}

// Replaces the sprite's size and pixels with the bitmap's, or leaves the sprite as it was and
// answers false when the size cannot be held. The decoder writes the whole image into the new
// array in one call; if it cannot deliver the pixels they stay opaque black.
bool CopyBitmap(Gdiplus::Bitmap& bitmap, Sprite& sprite) {
    const UINT width = bitmap.GetWidth(), height = bitmap.GetHeight();
    // The decoder measures rows in INT bytes.
    if (width > INT_MAX / sizeof(Pixel) || height > INT_MAX) return false;
    Pixel* fresh = AllocatePixels(static_cast<int32_t>(width), static_cast<int32_t>(height));
    if (!fresh) return false;
    const size_t count = size_t(width) * size_t(height);
    Gdiplus::BitmapData target{};
    target.Width = width;
    target.Height = height;
    target.Stride = static_cast<INT>(width * sizeof(Pixel));
    target.PixelFormat = PixelFormat32bppARGB;
    target.Scan0 = fresh;
    const Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    const auto mode = Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf;
    if (bitmap.LockBits(&all, mode, PixelFormat32bppARGB, &target) == Gdiplus::Ok) {
        bitmap.UnlockBits(&target);
        ArgbToPixels(fresh, count);
    }
    delete[] sprite.pixels;
    sprite.pixels = fresh;
    sprite.width = static_cast<int32_t>(width);
    sprite.height = static_cast<int32_t>(height);
    return true;
}

} // namespace

std::wstring Utf8ToWide(const std::string& text) {
    const int units = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (units <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<size_t>(units));
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, buffer.data(), units);
    return std::wstring(buffer.data());
}

namespace {

// Decodes the bitmap GDI+ made (it exists even when decoding failed: its creation status tells).
ResultCode CopyDecoded(Gdiplus::Bitmap* bitmap, Sprite& sprite) {
    const bool decoded =
        bitmap && bitmap->GetLastStatus() == Gdiplus::Ok && CopyBitmap(*bitmap, sprite);
    delete bitmap;
    return decoded ? Ok : NoFile;
}

class GdiplusDecoder : public ImageDecoder {
  public:
    ResultCode DecodeFile(const std::string& path, Sprite& sprite) const override {
        return CopyDecoded(Gdiplus::Bitmap::FromFile(Utf8ToWide(path).c_str(), FALSE), sprite);
    }
    ResultCode DecodeBytes(const std::vector<char>& bytes, const std::string&,
                           Sprite& sprite) const override {
        IStream* stream = CopyIntoStream(bytes);
        if (!stream) return NoFile;
        const ResultCode result = CopyDecoded(Gdiplus::Bitmap::FromStream(stream, FALSE), sprite);
        stream->Release();
        return result;
    }
};

} // namespace

const ImageDecoder& GdiplusImageDecoder() {
    static const GdiplusDecoder decoder;
    return decoder;
}

} // namespace dral
