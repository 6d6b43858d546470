// Sprite blits and text: whole sprites or rectangles of them, enlarged by a whole factor and
// mirrored, and strings in the built-in 8 x 8 font. Every target pixel goes through Draw, or, when
// Draw is the engine's own, straight into the target with the same result (engine/plot.h).
#include <algorithm>
#include <bit>
#include <type_traits>

#include "engine/plot.h"
#include "engine/tesserine.h"

namespace dral {

namespace {

using plot::DirectPlotter;
using plot::Dispatch;
using plot::Wrap;

// The walk of a blit: target block (i, j) of size x size pixels at (x + i * size, y + j * size)
// shows source pixel (SourceX(i), SourceY(j)).
struct BlitWalk {
    int64_t x, y, ox, oy, w, h, size;
    int64_t columnStart, columnStep, rowStart, rowStep;

    int64_t RawX(int64_t i) const { return ox + columnStart + i * columnStep; }
    int64_t RawY(int64_t j) const { return oy + rowStart + j * rowStep; }
};

// Columns outermost, as an override of Draw sees them. Source pixels outside the sprite come from
// its sample mode and are drawn like any other, transparent ones included; a column that lies
// inside the sprite is read straight from its rows.
template <class Plotter>
void BlitColumns(const Plotter& plot, const Sprite& sprite, const BlitWalk& b) {
    const int64_t firstRow = b.RawY(0), lastRow = b.RawY(b.h - 1);
    const bool rowsInside = b.size == 1 && std::min(firstRow, lastRow) >= 0 &&
                            std::max(firstRow, lastRow) < sprite.height;
    for (int64_t i = 0; i < b.w; ++i) {
        const int64_t column = b.RawX(i);
        if (rowsInside && column >= 0 && column < sprite.width) {
            const Pixel* source = sprite.pixels + firstRow * sprite.width + column;
            const int64_t stride = b.rowStep * sprite.width;
            for (int64_t j = 0; j < b.h; ++j, source += stride)
                plot.Plot(b.x + i, b.y + j, *source);
            continue;
        }
        const int32_t fx = Wrap(column);
        for (int64_t j = 0; j < b.h; ++j) {
            const Pixel p = sprite.GetPixel(fx, Wrap(b.RawY(j)));
            if (b.size == 1)
                plot.Plot(b.x + i, b.y + j, p);
            else
                plot.Block(b.x + i * b.size, b.y + j * b.size, b.size, p);
        }
    }
}

// Row by row over the part that lands on the target. Every target pixel is written once, so the
// order does not change the picture; rows whose source lies inside the sprite are copied whole.
template <PixelMode M>
void BlitRows(const DirectPlotter<M>& plot, const Sprite& sprite, const BlitWalk& b) {
    const Sprite& target = plot.target;
    const int64_t left = std::max<int64_t>(b.x, 0),
                  right = std::min<int64_t>(b.x + b.w * b.size, target.width);
    const int64_t top = std::max<int64_t>(b.y, 0),
                  bottom = std::min<int64_t>(b.y + b.h * b.size, target.height);
    if (left >= right) return;
    const int64_t i0 = (left - b.x) / b.size, i1 = (right - 1 - b.x) / b.size;
    const bool columnsInside =
        b.size == 1 && b.columnStep == 1 && b.RawX(i0) >= 0 && b.RawX(i1) < sprite.width;
    for (int64_t ty = top; ty < bottom; ++ty) {
        Pixel* row = plot.Row(int32_t(ty));
        const int64_t fy = b.RawY((ty - b.y) / b.size);
        if (columnsInside && fy >= 0 && fy < sprite.height) {
            plot.Copy(row + left, sprite.pixels + fy * sprite.width + b.RawX(i0), right - left);
            continue;
        }
        for (int64_t i = i0; i <= i1; ++i) {
            const Pixel p = sprite.GetPixel(Wrap(b.RawX(i)), Wrap(fy));
            const int64_t from = std::max(b.x + i * b.size, left);
            const int64_t to = std::min(b.x + (i + 1) * b.size, right);
            for (int64_t tx = from; tx < to; ++tx) plot.Put(row[tx], p);
        }
    }
}

template <class Plotter> void Blit(const Plotter& plot, const Sprite& sprite, const BlitWalk& b) {
    BlitColumns(plot, sprite, b);
}

// Rows only where no target coordinate wraps and the sprite is not the target itself: then
// each target pixel is written once and no source pixel is read after being overwritten.
template <PixelMode M>
void Blit(const DirectPlotter<M>& plot, const Sprite& sprite, const BlitWalk& b) {
    const bool fits = plot::FitsInt32(b.x + b.w * b.size) && plot::FitsInt32(b.y + b.h * b.size);
    if (fits && &sprite != &plot.target)
        BlitRows(plot, sprite, b);
    else
        BlitColumns(plot, sprite, b);
}

// The text walk: per character, its ink pixels column by column, each column top to bottom.
// Scale 1, the common case, is its own instance with the sizes constant, so that per ink pixel
// nothing runs but the bit walk and the plot; the colour travels as one word for the same reason.
template <bool Scaled, class Plotter>
void TextWalk(const Plotter& plot, const std::array<uint64_t, 96>& glyphInk, int64_t x, int64_t y,
              const std::string& text, uint32_t colour, uint32_t scale) {
    const int64_t size = Scaled && scale > 1 ? scale : 1;
    const int64_t advance = 8 * int64_t(Scaled ? scale : 1);
    int64_t sx = x, sy = y;
    for (const char byte : text) {
        const int c = static_cast<signed char>(byte);
        if (c == '\n') {
            sx = x;
            sy += advance;
            continue;
        }
        // Bytes outside 32..127 land on cells beyond the sheet, which read as Transparent.
        for (uint64_t ink = c >= 32 ? glyphInk[size_t(c - 32)] : 0; ink; ink &= ink - 1) {
            const int bit = std::countr_zero(ink);
            const int64_t px = sx + (bit >> 3) * size, py = sy + (bit & 7) * size;
            if constexpr (Scaled)
                plot.Block(px, py, size, Pixel(colour));
            else
                plot.Plot(px, py, Pixel(colour));
        }
        sx += advance;
    }
}

// The text walk at scale 1 through Draw: the same calls as TextWalk, each glyph's ink read from
// its list in drawing order and the pen kept as the wrapped coordinates Draw receives, so that per
// pixel nothing runs but two adds and the call. The index counts up to the list's end, so that its
// own step ends the loop. Glyphs is the engine's per-byte table of those lists.
template <class Glyphs>
void TextThroughDraw(Tesserine& engine, const Glyphs& glyphs, int32_t x, int32_t y,
                     const std::string& text, uint32_t colour) {
    uint32_t sx = uint32_t(x), sy = uint32_t(y);
    for (const char byte : text) {
        const auto b = static_cast<uint8_t>(byte);
        const std::array<uint8_t, 2>* const end = glyphs[b].end;
        const ptrdiff_t count = glyphs[b].count;
        if (count == 0 && b == '\n') {
            sx = uint32_t(x);
            sy += 8;
            continue;
        }
        for (ptrdiff_t k = -count; k != 0; ++k)
            engine.Draw(int32_t(sx + end[k][0]), int32_t(sy + end[k][1]), Pixel(colour));
        sx += 8;
    }
}

} // namespace

void Tesserine::DrawSprite(int32_t x, int32_t y, Sprite* sprite, uint32_t scale, uint8_t flip) {
    if (!sprite) return;
    DrawSpriteRegion(x, y, sprite, 0, 0, sprite->width, sprite->height, scale, flip);
}

void Tesserine::DrawSprite(const Vec2i& pos, Sprite* sprite, uint32_t scale, uint8_t flip) {
    DrawSprite(pos.x, pos.y, sprite, scale, flip);
}

void Tesserine::DrawSpriteRegion(int32_t x, int32_t y, Sprite* sprite, int32_t ox, int32_t oy,
                                 int32_t w, int32_t h, uint32_t scale, uint8_t flip) {
    if (!sprite || w <= 0 || h <= 0) return;
    const bool mirrorX = flip & SpriteFlip::Horizontal, mirrorY = flip & SpriteFlip::Vertical;
    const BlitWalk walk{x,
                        y,
                        ox,
                        oy,
                        w,
                        h,
                        scale > 1 ? int64_t(scale) : 1,
                        mirrorX ? w - 1 : 0,
                        mirrorX ? -1 : 1,
                        mirrorY ? h - 1 : 0,
                        mirrorY ? -1 : 1};
    Dispatch(*this, DirectTarget(), pixelMode, blendFactor,
             [&](const auto& plot) { Blit(plot, *sprite, walk); });
}

void Tesserine::DrawSpriteRegion(const Vec2i& pos, Sprite* sprite, const Vec2i& sourcePos,
                                 const Vec2i& sourceSize, uint32_t scale, uint8_t flip) {
    DrawSpriteRegion(pos.x, pos.y, sprite, sourcePos.x, sourcePos.y, sourceSize.x, sourceSize.y,
                     scale, flip);
}

void Tesserine::DrawString(int32_t x, int32_t y, const std::string& text, Pixel colour,
                           uint32_t scale) {
    // Before the engine is prepared there is no font sheet to read glyphs from.
    if (!fontSprite) return;
    // Opaque text is drawn masked, so whatever mode the caller left does not disturb it.
    const PixelMode previous = pixelMode;
    SetPixelMode(colour.a < 255 ? Alpha : Mask);
    Dispatch(*this, DirectTarget(), pixelMode, blendFactor, [&](const auto& plot) {
        if constexpr (std::is_same_v<std::decay_t<decltype(plot)>, plot::VirtualPlotter>) {
            if (scale == 1) return TextThroughDraw(plot.engine, glyphs, x, y, text, colour.packed);
        }
        if (scale == 1)
            TextWalk<false>(plot, glyphInk, x, y, text, colour.packed, scale);
        else
            TextWalk<true>(plot, glyphInk, x, y, text, colour.packed, scale);
    });
    SetPixelMode(previous);
}

void Tesserine::DrawString(const Vec2i& pos, const std::string& text, Pixel colour,
                           uint32_t scale) {
    DrawString(pos.x, pos.y, text, colour, scale);
}

} // namespace dral
