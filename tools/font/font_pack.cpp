// font_pack: turns the readable glyph file into the packed sheet string of engine/font.cpp
// (printed as C++ source), and can draw the sheet as a PNG, enlarged, for looking at it.
//   font_pack GLYPHS [--png OUT.png [SCALE]]
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/png_writer.h"
#include "tools/font/font_source.h"

namespace {

std::vector<uint8_t> SheetPicture(const dral::font::SheetInk& ink, int scale) {
    using namespace dral::font;
    const int w = SheetWidth * scale, h = SheetHeight * scale;
    std::vector<uint8_t> rgba;
    rgba.reserve(size_t(w) * size_t(h) * 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int sx = x / scale, sy = y / scale;
            // Alternate cell backgrounds so that each glyph's extent shows.
            const bool odd = ((sx / 8) + (sy / 8)) % 2 != 0;
            const uint8_t v = ink[size_t(sy * SheetWidth + sx)] ? 255 : (odd ? 40 : 0);
            rgba.insert(rgba.end(), {v, v, v, 255});
        }
    }
    return rgba;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: font_pack GLYPHS [--png OUT.png [SCALE]]\n");
        return 2;
    }
    dral::font::SheetInk ink;
    std::string error;
    if (!dral::font::ReadGlyphSource(argv[1], ink, error)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    if (argc == 2) {
        std::fputs(dral::font::PackedSheetSource(dral::font::PackSheet(ink)).c_str(), stdout);
        return 0;
    }
    const int scale = argc == 5 ? std::atoi(argv[4]) : 1;
    if (std::string(argv[2]) != "--png" || scale < 1 || scale > 16) {
        std::fprintf(stderr, "usage: font_pack GLYPHS [--png OUT.png [SCALE]]\n");
        return 2;
    }
    const auto picture = SheetPicture(ink, scale);
    if (!dral::WritePng(argv[3], dral::font::SheetWidth * scale, dral::font::SheetHeight * scale,
                        picture.data())) {
        std::fprintf(stderr, "cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
