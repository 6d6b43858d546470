// The built-in font: the packed string committed in engine/font.cpp must be exactly what
// font_pack makes of the readable glyphs, and the sheet built from it must show those glyphs.
// Leaves the engine's sheet as a PNG in the build folder for a look.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "engine/png_writer.h"
#include "recording_engine.h"
#include "tools/font/font_source.h"

namespace dral::testing {
namespace {

font::SheetInk ReadSource() {
    font::SheetInk ink{};
    std::string error;
    EXPECT_TRUE(font::ReadGlyphSource(FONT_GLYPHS_PATH, ink, error)) << error;
    return ink;
}

TEST(Font, CommittedPackedStringMatchesTheReadableGlyphs) {
    std::ifstream in(FONT_SOURCE_PATH);
    ASSERT_TRUE(in);
    std::stringstream text;
    text << in.rdbuf();
    const std::string source = text.str();
    // The string is the concatenation of every raw literal in the file.
    std::string committed;
    for (size_t open = source.find("R\"("); open != std::string::npos;
         open = source.find("R\"(", open)) {
        const size_t close = source.find(")\"", open + 3);
        ASSERT_NE(close, std::string::npos);
        committed += source.substr(open + 3, close - open - 3);
        open = close;
    }
    EXPECT_EQ(committed, font::PackSheet(ReadSource()))
        << "regenerate the string with: font_pack engine/font_glyphs.txt";
}

TEST(Font, SheetShowsTheGlyphsInWhiteOnTransparent) {
    DrawingEngine e;
    const Sprite* sheet = e.FontSheet();
    ASSERT_NE(sheet, nullptr);
    ASSERT_EQ(sheet->width, font::SheetWidth);
    ASSERT_EQ(sheet->height, font::SheetHeight);
    EXPECT_EQ(sheet->sampleMode, Bounded);
    const font::SheetInk ink = ReadSource();
    std::vector<uint8_t> rgba;
    for (int y = 0; y < sheet->height; ++y) {
        for (int x = 0; x < sheet->width; ++x) {
            const Pixel p = sheet->GetPixel(x, y);
            const bool on = ink[size_t(y * font::SheetWidth + x)];
            ASSERT_EQ(p, on ? White : Transparent) << "(" << x << ", " << y << ")";
            rgba.insert(rgba.end(), {p.r, p.g, p.b, p.a});
        }
    }
    EXPECT_TRUE(WritePng(FONT_SHEET_PNG, sheet->width, sheet->height, rgba.data()));
}

} // namespace
} // namespace dral::testing
