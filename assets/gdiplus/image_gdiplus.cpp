// Image files (whatever GDI+ decodes: PNG, BMP, GIF, JPEG, TIFF...) read into sprites on Windows,
// from a UTF-8 path or from a resource pack entry. Pixels keep the file's straight alpha; any
// failure to open or decode answers NoFile and leaves the sprite as it was.
#include "assets/gdiplus/image_gdiplus.h"

#include <windows.h>

#include <objidl.h>
#include <shlwapi.h>

#include <gdiplus.h>

#include <climits>
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

Pixel FromArgb(Gdiplus::ARGB argb) {
    return Pixel(static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 8),
                 static_cast<uint8_t>(argb), static_cast<uint8_t>(argb >> 24));
}

// Replaces the sprite's size and pixels with the bitmap's; a pixel the decoder cannot deliver
// stays opaque black.
void CopyBitmap(Gdiplus::Bitmap& bitmap, Sprite& sprite) {
    sprite.width = static_cast<int32_t>(bitmap.GetWidth());
    sprite.height = static_cast<int32_t>(bitmap.GetHeight());
    Pixel* fresh =
        new Pixel[static_cast<size_t>(sprite.width) * static_cast<size_t>(sprite.height)];
    delete[] sprite.pixels;
    sprite.pixels = fresh;
    for (int32_t y = 0; y < sprite.height; ++y)
        for (int32_t x = 0; x < sprite.width; ++x) {
            Gdiplus::Color colour(0xFF000000);
            bitmap.GetPixel(x, y, &colour);
            sprite.SetPixel(x, y, FromArgb(colour.GetValue()));
        }
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
    const bool decoded = bitmap && bitmap->GetLastStatus() == Gdiplus::Ok;
    if (decoded) CopyBitmap(*bitmap, sprite);
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
