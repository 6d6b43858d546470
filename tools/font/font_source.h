// The readable glyph source of the built-in font and the two things made from it: the packed
// 1024-character sheet string compiled into the engine, and a PNG picture of the sheet.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace dral::font {

inline constexpr int FirstChar = 32;
inline constexpr int GlyphCount = 96;
inline constexpr int SheetWidth = 128;
inline constexpr int SheetHeight = 48;

// Ink of the whole 128 x 48 sheet, row-major: true where a glyph has a '#'.
using SheetInk = std::array<bool, SheetWidth * SheetHeight>;

// Reads the glyph file; on failure returns false and says why, naming the line.
bool ReadGlyphSource(const std::string& path, SheetInk& ink, std::string& error);

// The sheet as the engine stores it: columns left to right, each top to bottom as two 24-bit
// words (least significant bit first), each word as four characters '0' + six bits, high first.
std::string PackSheet(const SheetInk& ink);

// The C++ initialiser of the packed string: 16 raw literals of 64 characters, one per line.
std::string PackedSheetSource(const std::string& packed);

} // namespace dral::font
