// Triangle set-up and span filling. Coverage is decided exactly on snapped integer positions, so
// neighbouring triangles never overlap or leave gaps; texture coordinates are planes in float
// evaluated at each pixel centre and divided by q per pixel.
#include "renderer/software/raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace dral::software {

namespace {

constexpr float SubpixelScale = 256.0f; // 8 bits of sub-pixel precision
constexpr int64_t SubpixelOne = 256;
// Positions beyond this many pixels are clipped first, so that the integer edge arithmetic stays
// inside 64 bits; the clip lies far outside any frame, so it changes no covered pixel.
constexpr float GuardBand = 4194304.0f;
// The largest float below 1: a wrapped coordinate never reaches the image's far edge.
constexpr float BelowOne = 0.99999994f;

// An attribute as a plane over pixel indexes: value at pixel (i, j) = a0 + dadx * i + dady * j.
struct Plane {
    float a0 = 0, dadx = 0, dady = 0;
};

// The planes of s, t and q of a triangle, from its float corners (pixel centres at +0.5).
struct Planes {
    Plane s, t, q;
    bool projective = false;
};

Plane MakePlane(const Corner v[3], float Corner::*attr, float area) {
    const float x10 = v[1].x - v[0].x, y10 = v[1].y - v[0].y;
    const float x20 = v[2].x - v[0].x, y20 = v[2].y - v[0].y;
    const float a10 = v[1].*attr - v[0].*attr, a20 = v[2].*attr - v[0].*attr;
    Plane p;
    p.dadx = (a10 * y20 - a20 * y10) / area;
    p.dady = (a20 * x10 - a10 * x20) / area;
    p.a0 = v[0].*attr - p.dadx * (v[0].x - 0.5f) - p.dady * (v[0].y - 0.5f);
    return p;
}

int64_t FloorDiv(int64_t a, int64_t b) { // b > 0
    const int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

// One edge of a triangle in snapped coordinates, oriented so that the inside is where
// e(p) = dx * (p.y - y) - dy * (p.x - x) > 0. Pixels exactly on it belong to it only when it is a
// left edge or a bottom edge (GL's lower-left origin makes the usual top-left rule bottom-left in a
// frame whose rows run downward).
struct Edge {
    int64_t x, y, dx, dy;
    int64_t bias; // 0 when pixels on the edge are inside, 1 when they are not

    Edge(int64_t x0, int64_t y0, int64_t x1, int64_t y1) : x(x0), y(y0), dx(x1 - x0), dy(y1 - y0) {
        const bool owns = dy < 0 || (dy == 0 && dx < 0);
        bias = owns ? 0 : 1;
    }

    // Narrows [first, last] to the pixel columns of row j on the inside of this edge.
    void Clip(int64_t j, int64_t& first, int64_t& last) const {
        // e(i) = a * i + b over pixel centres (i, j) at snapped (256 i, 256 j); inside: e - bias >=
        // 0.
        const int64_t a = -dy * SubpixelOne;
        const int64_t b = dx * (j * SubpixelOne - y) + dy * x - bias;
        if (a > 0) {
            first = std::max(first, -FloorDiv(b, a));
        } else if (a < 0) {
            last = std::min(last, FloorDiv(b, -a));
        } else if (b < 0) {
            last = first - 1;
        }
    }
};

// floor without a library call on CPUs whose baseline has no rounding instruction; exact wherever
// the value fits an int32, and std::floor beyond.
[[gnu::always_inline]] inline float Floor(float v) {
    if (!(std::fabs(v) < 2147483648.0f)) return std::floor(v);
    const float truncated = float(int32_t(v));
    return truncated > v ? truncated - 1.0f : truncated;
}

// One axis of the sampled image: nearest texel index with repeat wrapping, as llvmpipe computes
// it (scaled and masked for power-of-two sizes, fraction then scaled otherwise).
struct Axis {
    int32_t size;
    float scale;
    bool powerOfTwo;

    explicit Axis(int32_t n) : size(n), scale(float(n)), powerOfTwo((n & (n - 1)) == 0) {}

    [[gnu::always_inline]] inline int32_t Wrap(float coord) const {
        if (powerOfTwo) {
            const float scaled = Floor(coord * scale);
            if (!(std::fabs(scaled) < 2147483648.0f)) return 0;
            return int32_t(int64_t(scaled)) & (size - 1);
        }
        float f = coord - Floor(coord);
        if (!(f >= 0.0f)) return 0; // NaN or infinity
        f = std::min(f, BelowOne);
        return std::min(int32_t(f * scale), size - 1);
    }
};

// Texel lookup and tint for one quad.
struct Shader {
    const Pixel* texels;
    int32_t width;
    Axis u, v;
    Pixel tint;
    bool tinted;

    Shader(const Image& image, Pixel t)
        : texels(image.texels), width(image.width), u(image.width), v(image.height), tint(t),
          tinted(t != White) {}

    [[gnu::always_inline]] inline Pixel At(float s, float t) const {
        if (!texels) return tint;
        return Tinted(texels[size_t(v.Wrap(t)) * size_t(width) + size_t(u.Wrap(s))]);
    }

    [[gnu::always_inline]] inline Pixel Tinted(Pixel texel) const {
        if (!tinted) return texel;
        return Pixel(uint8_t(Modulate(texel.r, tint.r)), uint8_t(Modulate(texel.g, tint.g)),
                     uint8_t(Modulate(texel.b, tint.b)), uint8_t(Modulate(texel.a, tint.a)));
    }
};

[[gnu::always_inline]] inline void Put(Pixel& destination, Pixel source, bool blend) {
    if (!blend || source.a == 255) {
        destination = source;
        return;
    }
    if (source.a == 0) return;
    const uint32_t a = source.a;
    destination = Pixel(uint8_t(BlendChannel(source.r, destination.r, a)),
                        uint8_t(BlendChannel(source.g, destination.g, a)),
                        uint8_t(BlendChannel(source.b, destination.b, a)),
                        uint8_t(BlendChannel(source.a, destination.a, a)));
}

#if defined(__SSE2__)
// Four pixels at a time, lane by lane the same single-precision operations and the same 8-bit
// arithmetic as Axis, Shader and Put, so the pixels are the same. Coordinates that are not finite
// or too large for an int32 are left to the one-pixel code.
namespace wide {

inline __m128 Floor(__m128 v) {
    const __m128 truncated = _mm_cvtepi32_ps(_mm_cvttps_epi32(v));
    return _mm_sub_ps(truncated, _mm_and_ps(_mm_cmpgt_ps(truncated, v), _mm_set1_ps(1.0f)));
}

// True when every lane's magnitude is below 2^31 (NaN is not): where Floor is exact.
inline bool Small(__m128 v) {
    const __m128 magnitude = _mm_andnot_ps(_mm_set1_ps(-0.0f), v);
    return _mm_movemask_ps(_mm_cmplt_ps(magnitude, _mm_set1_ps(2147483648.0f))) == 0xF;
}

inline __m128i Min(__m128i a, __m128i b) {
    const __m128i greater = _mm_cmpgt_epi32(a, b);
    return _mm_or_si128(_mm_and_si128(greater, b), _mm_andnot_si128(greater, a));
}

// Axis::Wrap of four coordinates; false when a lane needs the one-pixel path.
inline bool Wrap(const Axis& axis, __m128 coord, __m128i& index) {
    const __m128i last = _mm_set1_epi32(axis.size - 1);
    if (axis.powerOfTwo) {
        const __m128 scaled = _mm_mul_ps(coord, _mm_set1_ps(axis.scale));
        if (!Small(scaled)) return false;
        index = _mm_and_si128(_mm_cvttps_epi32(Floor(scaled)), last);
        return true;
    }
    if (!Small(coord)) return false;
    const __m128 f = _mm_min_ps(_mm_sub_ps(coord, Floor(coord)), _mm_set1_ps(BelowOne));
    index = Min(_mm_cvttps_epi32(_mm_mul_ps(f, _mm_set1_ps(axis.scale))), last);
    return true;
}

// Modulate on 16-bit lanes holding 8-bit channels: every intermediate fits 16 bits.
inline __m128i Modulate(__m128i a, __m128i b) {
    const __m128i x = _mm_add_epi16(_mm_mullo_epi16(a, b), _mm_set1_epi16(128));
    return _mm_srli_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 8)), 8);
}

// BlendScale on 16-bit lanes.
inline __m128i BlendScale(__m128i a, __m128i b) {
    const __m128i ab = _mm_mullo_epi16(a, b);
    return _mm_srli_epi16(
        _mm_add_epi16(_mm_add_epi16(ab, _mm_srli_epi16(ab, 8)), _mm_set1_epi16(128)), 8);
}

// BlendChannel of two pixels' channels (16-bit lanes) by each pixel's own alpha. Alpha 255 gives
// the source and alpha 0 the destination exactly, so Put's two shortcuts need no test here.
inline __m128i Blend2(__m128i s, __m128i d) {
    const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, 0xFF), 0xFF);
    const __m128i rest = _mm_sub_epi16(_mm_set1_epi16(255), alpha);
    return _mm_add_epi16(BlendScale(s, alpha), BlendScale(d, rest));
}

// Put of four pixels: the sums saturate at 255 as BlendChannel's do. Four opaque or four clear
// sources, common in sprites and layers, skip the arithmetic, which would give the same.
inline __m128i Put(__m128i destination, __m128i source, bool blend) {
    if (!blend) return source;
    const __m128i alpha = _mm_srli_epi32(source, 24);
    const int opaque = _mm_movemask_epi8(_mm_cmpeq_epi32(alpha, _mm_set1_epi32(255)));
    if (opaque == 0xFFFF) return source;
    if (opaque == 0 && _mm_movemask_epi8(_mm_cmpeq_epi32(alpha, _mm_setzero_si128())) == 0xFFFF)
        return destination;
    const __m128i zero = _mm_setzero_si128();
    const __m128i low =
        Blend2(_mm_unpacklo_epi8(source, zero), _mm_unpacklo_epi8(destination, zero));
    const __m128i high =
        Blend2(_mm_unpackhi_epi8(source, zero), _mm_unpackhi_epi8(destination, zero));
    return _mm_packus_epi16(low, high);
}

// Shader::Tinted of four texels.
inline __m128i Tint(const Shader& shader, __m128i texels) {
    if (!shader.tinted) return texels;
    const __m128i zero = _mm_setzero_si128();
    const __m128i tint = _mm_unpacklo_epi8(_mm_set1_epi32(int32_t(shader.tint.packed)), zero);
    return _mm_packus_epi16(Modulate(_mm_unpacklo_epi8(texels, zero), tint),
                            Modulate(_mm_unpackhi_epi8(texels, zero), tint));
}

// Shader::At of four pixels; false when a lane needs the one-pixel path. texelRow, when given, is
// the one texel row all four sample, and t is not looked at.
inline bool At(const Shader& shader, __m128 s, __m128 t, const Pixel* texelRow, __m128i& out) {
    if (!shader.texels) {
        out = _mm_set1_epi32(int32_t(shader.tint.packed));
        return true;
    }
    __m128i u;
    if (!Wrap(shader.u, s, u)) return false;
    alignas(16) int32_t us[4], vs[4] = {0, 0, 0, 0};
    _mm_store_si128(reinterpret_cast<__m128i*>(us), u);
    if (!texelRow) {
        __m128i v;
        if (!Wrap(shader.v, t, v)) return false;
        _mm_store_si128(reinterpret_cast<__m128i*>(vs), v);
        texelRow = shader.texels;
    }
    const auto texel = [&](int k) {
        return int32_t(texelRow[size_t(vs[k]) * size_t(shader.width) + size_t(us[k])].packed);
    };
    out = Tint(shader, _mm_set_epi32(texel(3), texel(2), texel(1), texel(0)));
    return true;
}

// Pixels first.. of the row, four at a time while four remain before last; returns the first
// pixel left for the one-pixel loop.
int32_t FillSpan(Pixel* row, int32_t first, int32_t last, float fj, const Planes& p,
                 const Shader& shader, bool blend) {
    const __m128 s0 = _mm_set1_ps(p.s.a0 + p.s.dady * fj), t0 = _mm_set1_ps(p.t.a0 + p.t.dady * fj);
    const __m128 q0 = _mm_set1_ps(p.q.a0 + p.q.dady * fj);
    const __m128 dsdx = _mm_set1_ps(p.s.dadx), dtdx = _mm_set1_ps(p.t.dadx),
                 dqdx = _mm_set1_ps(p.q.dadx);
    const __m128 affineInverseQ = _mm_set1_ps(1.0f / p.q.a0);
    // An affine span whose t does not move with x (any unrotated quad) samples one texel row:
    // t0 + 0 * i is t0 up to the sign of a zero, which the wrap does not see.
    const Pixel* texelRow = nullptr;
    if (shader.texels && !p.projective && p.t.dadx == 0.0f) {
        const float t = (p.t.a0 + p.t.dady * fj) * (1.0f / p.q.a0);
        texelRow = shader.texels + size_t(shader.v.Wrap(t)) * size_t(shader.width);
    }
    int32_t i = first;
    for (; last - i >= 3; i += 4) {
        const __m128 fi =
            _mm_cvtepi32_ps(_mm_add_epi32(_mm_set1_epi32(i), _mm_set_epi32(3, 2, 1, 0)));
        const __m128 inverseQ =
            p.projective ? _mm_div_ps(_mm_set1_ps(1.0f), _mm_add_ps(q0, _mm_mul_ps(dqdx, fi)))
                         : affineInverseQ;
        const __m128 s = _mm_mul_ps(_mm_add_ps(s0, _mm_mul_ps(dsdx, fi)), inverseQ);
        const __m128 t = _mm_mul_ps(_mm_add_ps(t0, _mm_mul_ps(dtdx, fi)), inverseQ);
        __m128i source;
        if (!At(shader, s, t, texelRow, source)) break;
        __m128i* at = reinterpret_cast<__m128i*>(row + i);
        _mm_storeu_si128(at, Put(_mm_loadu_si128(at), source, blend));
    }
    return i;
}

} // namespace wide
#endif

void FillSpan(const Target& target, int32_t j, int32_t first, int32_t last, const Planes& p,
              const Shader& shader, bool blend) {
    Pixel* row = target.pixels + size_t(j) * size_t(target.width);
    const float fj = float(j);
#if defined(__SSE2__)
    first = wide::FillSpan(row, first, last, fj, p, shader, blend);
#endif
    const float s0 = p.s.a0 + p.s.dady * fj, t0 = p.t.a0 + p.t.dady * fj;
    if (!p.projective) {
        const float inverseQ = 1.0f / p.q.a0;
        for (int32_t i = first; i <= last; ++i) {
            const float fi = float(i);
            const float s = (s0 + p.s.dadx * fi) * inverseQ, t = (t0 + p.t.dadx * fi) * inverseQ;
            Put(row[i], shader.At(s, t), blend);
        }
        return;
    }
    const float q0 = p.q.a0 + p.q.dady * fj;
    for (int32_t i = first; i <= last; ++i) {
        const float fi = float(i);
        const float inverseQ = 1.0f / (q0 + p.q.dadx * fi);
        const float s = (s0 + p.s.dadx * fi) * inverseQ, t = (t0 + p.t.dadx * fi) * inverseQ;
        Put(row[i], shader.At(s, t), blend);
    }
}

// Stretches of consecutive texels shorter than this are gathered texel by texel: a block copy
// pays only over several pixels.
constexpr int32_t ShortestRun = 8;

// The column map of pixel columns first..last of an affine triangle whose s does not move down the
// rows: the texel column each samples, by the same float operations and Axis::Wrap as FillSpan, so
// that every row can look its texels up instead of computing them; then the stretches.
void MapColumns(Column* columns, int32_t first, int32_t last, float fj, const Planes& p,
                const Shader& shader) {
    const float s0 = p.s.a0 + p.s.dady * fj, inverseQ = 1.0f / p.q.a0;
    const int32_t n = last - first + 1;
    for (int32_t k = 0; k < n; ++k) {
        const float fi = float(first + k);
        columns[k].texel = shader.u.Wrap((s0 + p.s.dadx * fi) * inverseQ);
    }
    for (int32_t a = 0; a < n;) {
        int32_t b = a;
        while (b + 1 < n && columns[b + 1].texel == columns[b].texel + 1) ++b;
        const bool run = b - a + 1 >= ShortestRun;
        for (int32_t k = a; k <= b; ++k) columns[k].run = run;
        a = b + 1;
    }
    // A run ends where its texels stop following on (a wrap, a mirrored or scaled stretch);
    // gathered columns end where a run starts.
    columns[n - 1].end = last;
    for (int32_t k = n - 2; k >= 0; --k) {
        const Column& next = columns[k + 1];
        const bool joins =
            columns[k].run == next.run && (!next.run || next.texel == columns[k].texel + 1);
        columns[k].end = joins ? next.end : first + k;
    }
}

// Put of n texels copied in order, each tinted.
void PutRun(Pixel* out, const Pixel* in, int32_t n, const Shader& shader, bool blend) {
    if (!shader.tinted && !blend) {
        std::memcpy(out, in, size_t(n) * sizeof(Pixel));
        return;
    }
    int32_t k = 0;
#if defined(__SSE2__)
    if (!shader.tinted) {
        // An opaque base layer blends as a copy: sixteen texels at a time, when all are opaque.
        const __m128i opaque = _mm_set1_epi32(int32_t(0xFF000000u));
        for (; n - k >= 16; k += 16) {
            const __m128i* from = reinterpret_cast<const __m128i*>(in + k);
            const __m128i a = _mm_loadu_si128(from), b = _mm_loadu_si128(from + 1),
                          c = _mm_loadu_si128(from + 2), d = _mm_loadu_si128(from + 3);
            const __m128i alpha =
                _mm_and_si128(_mm_and_si128(_mm_and_si128(a, b), _mm_and_si128(c, d)), opaque);
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, opaque)) != 0xFFFF) break;
            __m128i* to = reinterpret_cast<__m128i*>(out + k);
            _mm_storeu_si128(to, a);
            _mm_storeu_si128(to + 1, b);
            _mm_storeu_si128(to + 2, c);
            _mm_storeu_si128(to + 3, d);
        }
    }
    for (; n - k >= 4; k += 4) {
        const __m128i source =
            wide::Tint(shader, _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k)));
        __m128i* at = reinterpret_cast<__m128i*>(out + k);
        _mm_storeu_si128(at, wide::Put(_mm_loadu_si128(at), source, blend));
    }
#endif
    for (; k < n; ++k) Put(out[k], shader.Tinted(in[k]), blend);
}

// Put of the n texels of the row that the columns name, each tinted.
void PutGathered(Pixel* out, const Pixel* texelRow, const Column* columns, int32_t n,
                 const Shader& shader, bool blend) {
    int32_t k = 0;
#if defined(__SSE2__)
    for (; n - k >= 4; k += 4) {
        const Column* c = columns + k;
        const __m128i source =
            wide::Tint(shader, _mm_set_epi32(int32_t(texelRow[c[3].texel].packed),
                                             int32_t(texelRow[c[2].texel].packed),
                                             int32_t(texelRow[c[1].texel].packed),
                                             int32_t(texelRow[c[0].texel].packed)));
        __m128i* at = reinterpret_cast<__m128i*>(out + k);
        _mm_storeu_si128(at, wide::Put(_mm_loadu_si128(at), source, blend));
    }
#endif
    for (; k < n; ++k) Put(out[k], shader.Tinted(texelRow[columns[k].texel]), blend);
}

// FillSpan of a row of a mapped triangle, columns[0] being pixel column firstColumn: one texel row
// (t does not move with x), its texels at the mapped columns.
void FillMappedSpan(const Target& target, int32_t j, int32_t first, int32_t last, const Planes& p,
                    const Shader& shader, bool blend, const Column* columns, int32_t firstColumn) {
    Pixel* row = target.pixels + size_t(j) * size_t(target.width);
    // t0 + 0 * i is t0 up to the sign of a zero, which the wrap does not see.
    const float t = (p.t.a0 + p.t.dady * float(j)) * (1.0f / p.q.a0);
    const Pixel* texelRow = shader.texels + size_t(shader.v.Wrap(t)) * size_t(shader.width);
    for (int32_t i = first; i <= last;) {
        const Column* c = columns + (i - firstColumn);
        const int32_t end = std::min(c->end, last);
        if (c->run)
            PutRun(row + i, texelRow + c->texel, end - i + 1, shader, blend);
        else
            PutGathered(row + i, texelRow, c, end - i + 1, shader, blend);
        i = end + 1;
    }
}

// Rasterises the covered part of a triangle (corners in any winding, inside the guard band).
void Cover(const Target& target, const Corner c[3], const Planes& planes, const Shader& shader,
           bool blend) {
    int64_t x[3], y[3];
    for (int k = 0; k < 3; ++k) {
        x[k] = std::llrint((c[k].x - 0.5f) * SubpixelScale);
        y[k] = std::llrint((c[k].y - 0.5f) * SubpixelScale);
    }
    const int64_t area = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
    if (area == 0) return;
    int order[3] = {0, 1, 2};
    if (area < 0) std::swap(order[1], order[2]);
    const Edge edges[3] = {Edge(x[order[0]], y[order[0]], x[order[1]], y[order[1]]),
                           Edge(x[order[1]], y[order[1]], x[order[2]], y[order[2]]),
                           Edge(x[order[2]], y[order[2]], x[order[0]], y[order[0]])};
    const int64_t minY = std::min({y[0], y[1], y[2]}), maxY = std::max({y[0], y[1], y[2]});
    const int64_t firstRow = std::max<int64_t>(target.top, -FloorDiv(-minY, SubpixelOne));
    const int64_t lastRow = std::min<int64_t>(target.bottom - 1, FloorDiv(maxY, SubpixelOne));
    // Unrotated and unwarped: s depends on the column alone and t on the row alone, exactly (planes
    // a rounding away from that take the general path), so the texel columns are mapped once.
    const Column* columns = nullptr;
    int64_t firstColumn = 0, lastColumn = -1;
    if (target.columns && shader.texels && !planes.projective && planes.s.dady == 0.0f &&
        planes.t.dadx == 0.0f && firstRow <= lastRow) {
        const int64_t minX = std::min({x[0], x[1], x[2]}), maxX = std::max({x[0], x[1], x[2]});
        firstColumn = std::max<int64_t>(target.left, -FloorDiv(-minX, SubpixelOne));
        lastColumn = std::min<int64_t>(target.right - 1, FloorDiv(maxX, SubpixelOne));
        if (firstColumn <= lastColumn &&
            target.columns->size() >= size_t(lastColumn - firstColumn + 1)) {
            MapColumns(target.columns->data(), int32_t(firstColumn), int32_t(lastColumn),
                       float(firstRow), planes, shader);
            columns = target.columns->data();
        }
    }
    for (int64_t j = firstRow; j <= lastRow; ++j) {
        int64_t first = target.left, last = target.right - 1;
        for (const Edge& e : edges) e.Clip(j, first, last);
        if (first > last) continue;
        // Covered pixels lie inside the triangle's bounds; the test only keeps the map safe.
        if (columns && first >= firstColumn && last <= lastColumn)
            FillMappedSpan(target, int32_t(j), int32_t(first), int32_t(last), planes, shader, blend,
                           columns, int32_t(firstColumn));
        else
            FillSpan(target, int32_t(j), int32_t(first), int32_t(last), planes, shader, blend);
    }
}

bool InsideGuardBand(const Corner& c) {
    return std::fabs(c.x) <= GuardBand && std::fabs(c.y) <= GuardBand;
}

// Where the edge a-b crosses the line: on it exactly, and along it in double, because corners
// may lie as far as 1e18 pixels out, where a float's rounding alone would miss the guard band by
// 1e11 pixels and the integer edge arithmetic would overflow.
Corner Crossing(const Corner& a, const Corner& b, bool vertical, float limit, double da,
                double db) {
    const double u = da / (da - db);
    if (vertical) return {limit, float(double(a.y) + (double(b.y) - double(a.y)) * u), 0, 0, 0};
    return {float(double(a.x) + (double(b.x) - double(a.x)) * u), limit, 0, 0, 0};
}

// Clips a convex polygon to one side of an axis-aligned line; attributes do not matter here, the
// planes come from the whole triangle.
int ClipPolygon(const Corner* in, int count, Corner* out, bool vertical, float limit, float side) {
    int n = 0;
    for (int k = 0; k < count; ++k) {
        const Corner& a = in[k];
        const Corner& b = in[(k + 1) % count];
        const double da = double(side) * (double(vertical ? a.x : a.y) - double(limit));
        const double db = double(side) * (double(vertical ? b.x : b.y) - double(limit));
        if (da <= 0) out[n++] = a;
        if ((da < 0 && db > 0) || (da > 0 && db < 0))
            out[n++] = Crossing(a, b, vertical, limit, da, db);
    }
    return n;
}

void DrawTriangle(const Target& target, const Corner c[3], const Shader& shader, bool blend) {
    const float area =
        (c[1].x - c[0].x) * (c[2].y - c[0].y) - (c[2].x - c[0].x) * (c[1].y - c[0].y);
    if (!(area != 0.0f) || !std::isfinite(area)) return;
    Planes planes{MakePlane(c, &Corner::s, area), MakePlane(c, &Corner::t, area),
                  MakePlane(c, &Corner::q, area), false};
    planes.projective = planes.q.dadx != 0.0f || planes.q.dady != 0.0f;
    if (InsideGuardBand(c[0]) && InsideGuardBand(c[1]) && InsideGuardBand(c[2])) {
        Cover(target, c, planes, shader, blend);
        return;
    }
    // Each of the four clips adds at most one corner.
    Corner a[7] = {c[0], c[1], c[2]}, b[7];
    int n = ClipPolygon(a, 3, b, true, GuardBand, 1.0f);
    n = ClipPolygon(b, n, a, true, -GuardBand, -1.0f);
    n = ClipPolygon(a, n, b, false, GuardBand, 1.0f);
    n = ClipPolygon(b, n, a, false, -GuardBand, -1.0f);
    for (int k = 1; k + 1 < n; ++k) {
        const Corner fan[3] = {a[0], a[k], a[k + 1]};
        Cover(target, fan, planes, shader, blend);
    }
}

} // namespace

void DrawQuad(const Target& target, const Corner corners[4], const Image& image, Pixel tint,
              bool blend) {
    if (!target.pixels || target.left >= target.right || target.top >= target.bottom) return;
    const Corner first[3] = {corners[0], corners[1], corners[3]};
    const Corner second[3] = {corners[1], corners[2], corners[3]};
    const Shader shader(image, tint);
    DrawTriangle(target, first, shader, blend);
    DrawTriangle(target, second, shader, blend);
}

} // namespace dral::software
