// Parsing of the glyph file and the sheet packing rule.
#include "tools/font/font_source.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace dral::font {

namespace {

bool Fail(std::string& error, int line, const std::string& why) {
    error = "line " + std::to_string(line) + ": " + why;
    return false;
}

bool IsSkipped(const std::string& line) {
    return line.empty() || line[0] == ';';
}

} // namespace

bool ReadGlyphSource(const std::string& path, SheetInk& ink, std::string& error) {
    std::ifstream in(path);
    if (!in) return Fail(error, 0, "cannot open " + path);
    ink.fill(false);
    std::string line;
    int lineNo = 0, expected = FirstChar, row = 8;
    while (std::getline(in, line)) {
        ++lineNo;
        if (row < 8) {
            if (line.size() != 8 || line.find_first_not_of(".#") != std::string::npos)
                return Fail(error, lineNo, "a glyph row is eight '.' or '#'");
            const int cell = expected - 1 - FirstChar;
            for (int x = 0; x < 8; ++x) {
                const int sx = 8 * (cell % 16) + x, sy = 8 * (cell / 16) + row;
                ink[size_t(sy * SheetWidth + sx)] = line[size_t(x)] == '#';
            }
            ++row;
            continue;
        }
        if (IsSkipped(line)) continue;
        int code = -1;
        std::istringstream header(line);
        char mark = 0;
        if (!(header >> mark >> code) || mark != '=')
            return Fail(error, lineNo, "expected '= CODE NAME'");
        if (code != expected)
            return Fail(error, lineNo, "expected glyph " + std::to_string(expected));
        ++expected;
        row = 0;
    }
    if (row < 8) return Fail(error, lineNo, "the last glyph is cut short");
    if (expected != FirstChar + GlyphCount) return Fail(error, lineNo, "glyphs are missing");
    return true;
}

std::string PackSheet(const SheetInk& ink) {
    std::string packed;
    packed.reserve(1024);
    for (int x = 0; x < SheetWidth; ++x) {
        for (int half = 0; half < 2; ++half) {
            uint32_t word = 0;
            for (int i = 0; i < 24; ++i)
                if (ink[size_t((24 * half + i) * SheetWidth + x)]) word |= 1u << i;
            for (int shift = 18; shift >= 0; shift -= 6)
                packed += static_cast<char>('0' + ((word >> shift) & 63u));
        }
    }
    return packed;
}

std::string PackedSheetSource(const std::string& packed) {
    std::string out;
    for (size_t i = 0; i < packed.size(); i += 64)
        out += "    R\"(" + packed.substr(i, 64) + ")\"\n";
    return out;
}

} // namespace dral::font
