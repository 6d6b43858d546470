// Measuring text in the built-in 8 x 8 font before drawing it, for centring and boxes: the same
// layout DrawString and DrawStringDecals follow.
#pragma once

#include <cstdint>
#include <string>

#include "engine/vec2.h"

namespace dral {

/// The size in pixels of the cells `text` covers when drawn at `scale`: width 8 · scale times the
/// longest line in bytes, height 8 · scale times the number of lines ('\n' starts one, so a
/// trailing newline adds an empty line). Every other byte, tabs and bytes outside 32–127
/// included, takes one cell, as the drawing gives it. Empty text is (0, 0). At scale 0 the glyphs
/// all land on one 8 × 8 cell: (8, 8) when any byte besides '\n' is there, else (0, 0). Sizes past
/// int32 are clamped to its largest value.
Vec2i TextSize(const std::string& text, uint32_t scale = 1);

} // namespace dral
