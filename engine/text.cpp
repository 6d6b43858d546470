// Measuring text in the built-in font: lines and cells counted the way the drawing walks them.
#include "engine/text.h"

#include <algorithm>
#include <limits>

namespace dral {

namespace {

// count cells of `cell` pixels, or int32's largest value when that is more.
int32_t Span(int64_t count, int64_t cell) {
    constexpr int64_t Largest = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(count > Largest / cell ? Largest : count * cell);
}

} // namespace

Vec2i TextSize(const std::string& text, uint32_t scale) {
    constexpr int32_t Cell = 8;
    int64_t lines = text.empty() ? 0 : 1, widest = 0, column = 0;
    for (const char c : text) {
        if (c == '\n') {
            ++lines;
            column = 0;
        } else {
            widest = std::max(widest, ++column);
        }
    }
    if (scale == 0) return widest > 0 ? Vec2i{Cell, Cell} : Vec2i{};
    const int64_t cell = int64_t{Cell} * scale;
    return {Span(widest, cell), Span(lines, cell)};
}

} // namespace dral
