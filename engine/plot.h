// Where the primitives, blits and text put their pixels. The virtual plotter hands every pixel to
// the object's Draw, one call each and in the documented order, so an override sees all drawing.
// The direct plotters write straight into the target's rows for Normal, Mask and Alpha; the engine
// uses them only when the object's Draw is its own, and they leave exactly the same pixels.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/tesserine.h"

/// @cond INTERNAL
namespace dral::plot {

// The Alpha-mode blend of one channel: both products rounded to float before the sum, truncated,
// low 8 bits kept. k and c lie in 0..1, so the sum does too.
inline uint8_t Mix(uint8_t source, uint8_t destination, float k, float c) {
    const float value = float(source) * k + float(destination) * c;
    return static_cast<uint8_t>(static_cast<int32_t>(value));
}

// Source over destination in Alpha mode; the result is always opaque.
inline Pixel Blend(Pixel source, Pixel destination, float blendFactor) {
    const float k = (float(source.a) / 255.0f) * blendFactor, c = 1.0f - k;
    return Pixel(Mix(source.r, destination.r, k, c), Mix(source.g, destination.g, k, c),
                 Mix(source.b, destination.b, k, c), 255);
}

#if defined(__SSE2__)
// One channel of four packed pixels blended at once: the same single-precision products, sum and
// truncation as Mix, each rounded the same way, so the pixels are the same.
template <int Shift> inline __m128i MixChannel4(__m128i s, __m128i d, __m128 k, __m128 c) {
    const __m128i byte = _mm_set1_epi32(0xFF);
    const __m128 sv = _mm_cvtepi32_ps(_mm_and_si128(_mm_srli_epi32(s, Shift), byte));
    const __m128 dv = _mm_cvtepi32_ps(_mm_and_si128(_mm_srli_epi32(d, Shift), byte));
    const __m128i v = _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(sv, k), _mm_mul_ps(dv, c)));
    return _mm_slli_epi32(_mm_and_si128(v, byte), Shift);
}

// Blend of four pixels over four pixels, each with its own source alpha.
inline __m128i Blend4(__m128i s, __m128i d, float blendFactor) {
    const __m128 alpha = _mm_cvtepi32_ps(_mm_srli_epi32(s, 24));
    const __m128 k = _mm_mul_ps(_mm_div_ps(alpha, _mm_set1_ps(255.0f)), _mm_set1_ps(blendFactor));
    const __m128 c = _mm_sub_ps(_mm_set1_ps(1.0f), k);
    const __m128i opaque = _mm_set1_epi32(int32_t(0xFF000000u));
    return _mm_or_si128(_mm_or_si128(opaque, MixChannel4<0>(s, d, k, c)),
                        _mm_or_si128(MixChannel4<8>(s, d, k, c), MixChannel4<16>(s, d, k, c)));
}
#endif

// n copies of one colour from d. Whole 16-byte stores, four to a step, on aligned addresses: the
// plain loop stays scalar, as a Pixel is a union and its word is not known to be aligned.
inline void FillRow(Pixel* d, Pixel p, int64_t n) {
    int64_t i = 0;
#if defined(__SSE2__)
    for (; i < n && (reinterpret_cast<uintptr_t>(d + i) & 15) != 0; ++i) d[i].packed = p.packed;
    const __m128i v = _mm_set1_epi32(int32_t(p.packed));
    for (; i + 16 <= n; i += 16) {
        __m128i* at = reinterpret_cast<__m128i*>(d + i);
        _mm_store_si128(at, v);
        _mm_store_si128(at + 1, v);
        _mm_store_si128(at + 2, v);
        _mm_store_si128(at + 3, v);
    }
    for (; i + 4 <= n; i += 4) _mm_store_si128(reinterpret_cast<__m128i*>(d + i), v);
#endif
    for (; i < n; ++i) d[i].packed = p.packed;
}

// n source pixels blended over n destination pixels, in place.
inline void BlendRow(Pixel* d, const Pixel* s, int64_t n, float blendFactor) {
    int64_t i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= n; i += 4) {
        const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), Blend4(sv, dv, blendFactor));
    }
#endif
    for (; i < n; ++i) d[i] = Blend(s[i], d[i], blendFactor);
}

// One colour blended over n destination pixels, in place.
inline void BlendFill(Pixel* d, Pixel p, int64_t n, float blendFactor) {
    int64_t i = 0;
#if defined(__SSE2__)
    const __m128i sv = _mm_set1_epi32(int32_t(p.packed));
    for (; i + 4 <= n; i += 4) {
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), Blend4(sv, dv, blendFactor));
    }
#endif
    for (; i < n; ++i) d[i] = Blend(p, d[i], blendFactor);
}

// A coordinate beyond the int32 range wraps, as it does on its way into Draw.
inline int32_t Wrap(int64_t v) {
    return static_cast<int32_t>(v);
}

inline bool FitsInt32(int64_t v) {
    return v >= INT32_MIN && v <= INT32_MAX;
}

// floor(a / b) for b > 0, whatever the sign of a.
inline int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return q - (a % b < 0 ? 1 : 0);
}

// The coordinates lo..hi, taken as they wrap to int32, that land in 0..extent-1: calls
// body(from, to) with target coordinates from..to-1 once per time the range passes over them,
// in rising order, so a range that wraps onto the target twice reaches it twice.
template <class Body> void ForEachWrap(int64_t lo, int64_t hi, int64_t extent, Body&& body) {
    constexpr int64_t Turn = int64_t{1} << 32;
    for (int64_t k = FloorDiv(lo, Turn), last = FloorDiv(hi, Turn); k <= last; ++k) {
        const int64_t base = k * Turn;
        const int64_t from = std::max(lo, base) - base;
        const int64_t to = std::min(hi - base, extent - 1) + 1;
        if (from < to) body(from, to);
    }
}

// Every pixel through the object's Draw.
struct VirtualPlotter {
    Tesserine& engine;

    // Every call is seen by Draw, so no repeat may be dropped, nor a call off the target.
    static constexpr bool keepsRepeats = true;
    static constexpr bool clips = false;

    void Plot(int64_t x, int64_t y, Pixel p) const { engine.Draw(Wrap(x), Wrap(y), p); }
    // lo..hi on row y, both ends included, left to right.
    void Span(int64_t lo, int64_t hi, int64_t y, Pixel p) const {
        for (int64_t x = lo; x <= hi; ++x) Plot(x, y, p);
    }
    // The size x size block from (x, y), sub-columns outermost.
    void Block(int64_t x, int64_t y, int64_t size, Pixel p) const {
        for (int64_t a = 0; a < size; ++a)
            for (int64_t b = 0; b < size; ++b) Plot(x + a, y + b, p);
    }
    // Columns left..right-1 outermost, rows top..bottom-1 inner; the bounds lie on the target.
    void Rect(int64_t left, int64_t right, int64_t top, int64_t bottom, Pixel p) const {
        for (int64_t i = left; i < right; ++i)
            for (int64_t j = top; j < bottom; ++j) Plot(i, j, p);
    }
};

// Straight into the target, with the pixel mode M fixed at compile time.
template <PixelMode M> struct DirectPlotter {
    Sprite& target;
    float blendFactor;

    // Writing a pixel again changes it only when blending: then every repeat must be kept.
    static constexpr bool keepsRepeats = M == Alpha;
    // A pixel off the target changes nothing: walks may skip what cannot land on it.
    static constexpr bool clips = true;

    void Put(Pixel& d, Pixel p) const {
        if constexpr (M == Normal)
            d.packed = p.packed;
        else if constexpr (M == Mask) {
            if (p.a == 255) d.packed = p.packed;
        } else
            d = Blend(p, d, blendFactor);
    }
    Pixel* Row(int32_t y) const { return target.pixels + size_t(y) * size_t(target.width); }

    void Plot(int64_t x, int64_t y, Pixel p) const {
        const int32_t tx = Wrap(x), ty = Wrap(y);
        if (target.Contains(tx, ty)) Put(Row(ty)[tx], p);
    }
    bool Inside(int64_t x, int64_t y) const {
        return x >= 0 && y >= 0 && x < target.width && y < target.height;
    }
    // A pixel known to lie on the target.
    void PlotInside(int64_t x, int64_t y, Pixel p) const { Put(Row(int32_t(y))[x], p); }
    // The pixels lo..hi of row y that land on the target, as their coordinates wrap: one write
    // each time the span passes over a pixel.
    void Span(int64_t lo, int64_t hi, int64_t y, Pixel p) const {
        const int32_t row = Wrap(y);
        if (row < 0 || row >= target.height) return;
        ForEachWrap(lo, hi, target.width,
                    [&](int64_t from, int64_t to) { Fill(Row(row), from, to, p); });
    }
    // The block's rows and columns that land on the target, each pass over a pixel one write:
    // one colour, so the order of the writes does not matter.
    void Block(int64_t x, int64_t y, int64_t size, Pixel p) const {
        ForEachWrap(y, y + size - 1, target.height, [&](int64_t top, int64_t bottom) {
            ForEachWrap(x, x + size - 1, target.width, [&](int64_t left, int64_t right) {
                for (int64_t j = top; j < bottom; ++j) Fill(Row(int32_t(j)), left, right, p);
            });
        });
    }
    void Rect(int64_t left, int64_t right, int64_t top, int64_t bottom, Pixel p) const {
        for (int64_t j = top; j < bottom; ++j) Fill(Row(int32_t(j)), left, right, p);
    }
    // Columns from..to-1 of a row, the bounds already on the target.
    void Fill(Pixel* row, int64_t from, int64_t to, Pixel p) const {
        if constexpr (M == Mask) {
            if (p.a != 255) return;
        }
        if constexpr (M == Alpha) {
            BlendFill(row + from, p, to - from, blendFactor);
        } else {
            FillRow(row + from, p, to - from);
        }
    }
    // n source pixels onto a row, one each.
    void Copy(Pixel* d, const Pixel* s, int64_t n) const {
        if constexpr (M == Normal)
            std::memcpy(d, s, size_t(n) * sizeof(Pixel));
        else if constexpr (M == Alpha)
            BlendRow(d, s, n, blendFactor);
        else
            for (int64_t i = 0; i < n; ++i) Put(d[i], s[i]);
    }
};

// Calls body with the plotter the engine's state asks for: a direct one when target is given
// (the object's Draw is the engine's own and the mode is one the direct plotters know), else the
// virtual one.
template <class Body>
void Dispatch(Tesserine& engine, Sprite* target, PixelMode mode, float blendFactor, Body&& body) {
    if (target) {
        switch (mode) {
        case Normal:
            return body(DirectPlotter<Normal>{*target, blendFactor});
        case Mask:
            return body(DirectPlotter<Mask>{*target, blendFactor});
        case Alpha:
            return body(DirectPlotter<Alpha>{*target, blendFactor});
        default:
            break;
        }
    }
    body(VirtualPlotter{engine});
}

} // namespace dral::plot
/// @endcond
