// The draw target's pixel modes and the rasterised primitives. Every plotted pixel goes through
// the virtual Draw, so an application's override sees all drawing; only Clear writes the array.
// Walks use 64-bit integers so that extreme coordinates cannot overflow mid-walk.
#include <algorithm>
#include <bit>
#include <cstdlib>
#include <limits>

#include "engine/tesserine.h"

namespace dral {

namespace {

uint8_t Mix(uint8_t source, uint8_t destination, float k, float c) {
    // Both products are rounded to float before the sum; k and c lie in 0..1, so the sum does too.
    const float value = float(source) * k + float(destination) * c;
    return static_cast<uint8_t>(static_cast<int32_t>(value));
}

// Plots lo..hi on row y, both ends included, left to right.
void Span(Tesserine& engine, int64_t lo, int64_t hi, int64_t y, Pixel p) {
    for (int64_t x = lo; x <= hi; ++x)
        engine.Draw(static_cast<int32_t>(x), static_cast<int32_t>(y), p);
}

// One edge of a triangle walked row by row with an integer error term; a steep edge advances
// one row per step, a shallow one several columns per row.
struct EdgeWalker {
    int64_t x = 0, step = 1, major = 0, minor = 0, error = 0;
    bool steep = false;

    void Start(int64_t xa, int64_t ya, int64_t xb, int64_t yb) {
        x = xa;
        step = xb < xa ? -1 : 1;
        major = std::abs(xb - xa);
        minor = yb - ya;
        steep = minor > major;
        if (steep) std::swap(major, minor);
        error = major / 2;
    }
    // After the row's span: the shallow edge's column step that ended the row, then any pending
    // step of the steep edge.
    void FinishRow(int64_t pending) { x += (steep ? 0 : step) + pending; }
};

// Advances the long edge to its extent on the current row; returns its pending column step.
// A bounded walk also stops on reaching column end: on a flat triangle it would walk on.
int64_t AdvanceLongEdge(EdgeWalker& b, bool bounded, int64_t end) {
    for (;;) {
        if (bounded && b.x == end) return 0;
        b.error += b.minor;
        if (b.error >= b.major) {
            b.error -= b.major;
            if (!b.steep) return 0;
            return b.step;
        }
        if (b.steep) return 0;
        b.x += b.step;
    }
}

// One step of the midpoint circle walk shared by the outline and the filled circle; d is updated
// from the values before the step.
void MidpointStep(int64_t& i, int64_t& j, int64_t& d) {
    if (d < 0) {
        d += 4 * i + 6;
    } else {
        d += 4 * (i - j) + 10;
        --j;
    }
    ++i;
}

bool InInt32(int64_t v) {
    return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}

// A line between end points that may lie beyond the int32 range (a rectangle's far corner).
void WalkLine(Tesserine& engine, int64_t x1, int64_t y1, int64_t x2, int64_t y2, Pixel p,
              uint32_t pattern) {
    // Each candidate consumes one bit of the pattern, starting from bit 31, on or off target.
    // A candidate beyond int32 lies off every target and is not handed to Draw.
    auto candidate = [&](int64_t x, int64_t y) {
        pattern = std::rotl(pattern, 1);
        if ((pattern & 1u) && InInt32(x) && InInt32(y))
            engine.Draw(static_cast<int32_t>(x), static_cast<int32_t>(y), p);
    };
    const int64_t dx = x2 - x1, dy = y2 - y1;
    if (dx == 0) {
        for (int64_t y = std::min(y1, y2); y <= std::max(y1, y2); ++y) candidate(x1, y);
        return;
    }
    if (dy == 0) {
        for (int64_t x = std::min(x1, x2); x <= std::max(x1, x2); ++x) candidate(x, y1);
        return;
    }
    const int64_t ax = std::abs(dx), ay = std::abs(dy);
    const int64_t minorStep = (dx > 0) == (dy > 0) ? 1 : -1;
    if (ay <= ax) {
        // x-major, from the end with the smaller x; y steps when the error reaches 0.
        int64_t x = dx >= 0 ? x1 : x2, y = dx >= 0 ? y1 : y2;
        const int64_t end = dx >= 0 ? x2 : x1;
        int64_t error = 2 * ay - ax;
        candidate(x, y);
        while (x < end) {
            ++x;
            if (error < 0) {
                error += 2 * ay;
            } else {
                y += minorStep;
                error += 2 * (ay - ax);
            }
            candidate(x, y);
        }
    } else {
        // y-major, from the end with the smaller y; x steps only when the error is above 0.
        int64_t x = dy >= 0 ? x1 : x2, y = dy >= 0 ? y1 : y2;
        const int64_t end = dy >= 0 ? y2 : y1;
        int64_t error = 2 * ax - ay;
        candidate(x, y);
        while (y < end) {
            ++y;
            if (error <= 0) {
                error += 2 * ax;
            } else {
                x += minorStep;
                error += 2 * (ax - ay);
            }
            candidate(x, y);
        }
    }
}

} // namespace

bool Tesserine::Draw(int32_t x, int32_t y, Pixel p) {
    Sprite* target = drawTarget;
    if (!target) return false;
    switch (pixelMode) {
    case Normal:
        return target->SetPixel(x, y, p);
    case Mask:
        return p.a == 255 && target->SetPixel(x, y, p);
    case Alpha: {
        // Outside the target the blend would be dropped anyway, so one bounds test serves both
        // the read and the write.
        if (x < 0 || y < 0 || x >= target->width || y >= target->height) return false;
        Pixel& d = target->pixels[size_t(y) * size_t(target->width) + size_t(x)];
        const float k = (float(p.a) / 255.0f) * blendFactor, c = 1.0f - k;
        d = Pixel(Mix(p.r, d.r, k, c), Mix(p.g, d.g, k, c), Mix(p.b, d.b, k, c), 255);
        return true;
    }
    case Custom: {
        // Selecting Custom without ever storing a function leaves nothing to call.
        if (!customPixelFunc) return false;
        const Pixel d = target->GetPixel(x, y);
        return target->SetPixel(x, y, customPixelFunc(x, y, p, d));
    }
    }
    return false;
}

void Tesserine::SetPixelMode(CustomPixelFunction function) {
    customPixelFunc = std::move(function);
    pixelMode = Custom;
}

void Tesserine::SetBlendFactor(float factor) {
    // Written so that NaN also lands on 0: the blend must always stay within 0..1.
    blendFactor = factor >= 0.0f ? std::min(factor, 1.0f) : 0.0f;
}

void Tesserine::Clear(Pixel p) {
    const size_t count = size_t(GetDrawTargetWidth()) * size_t(GetDrawTargetHeight());
    // Stored as the packed word: a whole-Pixel (union) copy keeps the compiler from vectorising.
    Pixel* pixels = count ? drawTarget->Pixels() : nullptr;
    for (size_t i = 0; i < count; ++i) pixels[i].packed = p.packed;
}

void Tesserine::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, Pixel p,
                         uint32_t pattern) {
    WalkLine(*this, x1, y1, x2, y2, p, pattern);
}

void Tesserine::DrawLine(const Vec2i& pos1, const Vec2i& pos2, Pixel p, uint32_t pattern) {
    DrawLine(pos1.x, pos1.y, pos2.x, pos2.y, p, pattern);
}

void Tesserine::DrawCircle(int32_t x, int32_t y, int32_t radius, Pixel p, uint8_t mask) {
    if (radius <= 0) return;
    auto plot = [&](int64_t px, int64_t py) {
        Draw(static_cast<int32_t>(px), static_cast<int32_t>(py), p);
    };
    int64_t i = 0, j = radius, d = 3 - 2 * int64_t(radius);
    while (j >= i) {
        // Octants clockwise from twelve o'clock; shared border points are plotted by both.
        if (mask & 0x01) plot(x + i, y - j);
        if (mask & 0x02) plot(x + j, y - i);
        if (mask & 0x04) plot(x + j, y + i);
        if (mask & 0x08) plot(x + i, y + j);
        if (mask & 0x10) plot(x - i, y + j);
        if (mask & 0x20) plot(x - j, y + i);
        if (mask & 0x40) plot(x - j, y - i);
        if (mask & 0x80) plot(x - i, y - j);
        MidpointStep(i, j, d);
    }
}

void Tesserine::DrawCircle(const Vec2i& pos, int32_t radius, Pixel p, uint8_t mask) {
    DrawCircle(pos.x, pos.y, radius, p, mask);
}

void Tesserine::FillCircle(int32_t x, int32_t y, int32_t radius, Pixel p) {
    if (radius <= 0) return;
    int64_t i = 0, j = radius, d = 3 - 2 * int64_t(radius);
    while (j >= i) {
        Span(*this, x - i, x + i, y - j, p);
        Span(*this, x - j, x + j, y - i, p);
        Span(*this, x - i, x + i, y + j, p);
        Span(*this, x - j, x + j, y + i, p);
        MidpointStep(i, j, d);
    }
}

void Tesserine::FillCircle(const Vec2i& pos, int32_t radius, Pixel p) {
    FillCircle(pos.x, pos.y, radius, p);
}

void Tesserine::DrawRect(int32_t x, int32_t y, int32_t w, int32_t h, Pixel p) {
    // The far corner is kept wide: wrapped, it would land back on the target.
    const int64_t x2 = int64_t(x) + w, y2 = int64_t(y) + h;
    constexpr uint32_t solid = 0xFFFFFFFF;
    WalkLine(*this, x, y, x2, y, p, solid);
    WalkLine(*this, x2, y, x2, y2, p, solid);
    WalkLine(*this, x2, y2, x, y2, p, solid);
    WalkLine(*this, x, y2, x, y, p, solid);
}

void Tesserine::DrawRect(const Vec2i& pos, const Vec2i& size, Pixel p) {
    DrawRect(pos.x, pos.y, size.x, size.y, p);
}

void Tesserine::FillRect(int32_t x, int32_t y, int32_t w, int32_t h, Pixel p) {
    const int64_t width = GetDrawTargetWidth(), height = GetDrawTargetHeight();
    auto clip = [](int64_t v, int64_t limit) { return std::clamp<int64_t>(v, 0, limit); };
    const int64_t left = clip(x, width), right = clip(int64_t(x) + w, width);
    const int64_t top = clip(y, height), bottom = clip(int64_t(y) + h, height);
    for (int64_t i = left; i < right; ++i)
        for (int64_t j = top; j < bottom; ++j)
            Draw(static_cast<int32_t>(i), static_cast<int32_t>(j), p);
}

void Tesserine::FillRect(const Vec2i& pos, const Vec2i& size, Pixel p) {
    FillRect(pos.x, pos.y, size.x, size.y, p);
}

void Tesserine::DrawTriangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3,
                             Pixel p) {
    DrawLine(x1, y1, x2, y2, p);
    DrawLine(x2, y2, x3, y3, p);
    DrawLine(x3, y3, x1, y1, p);
}

void Tesserine::DrawTriangle(const Vec2i& pos1, const Vec2i& pos2, const Vec2i& pos3, Pixel p) {
    DrawTriangle(pos1.x, pos1.y, pos2.x, pos2.y, pos3.x, pos3.y, p);
}

void Tesserine::FillTriangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3,
                             Pixel p) {
    // Sorted by y; equal y values keep their argument order, which decides the flat side.
    auto order = [](int32_t& xa, int32_t& ya, int32_t& xb, int32_t& yb) {
        if (ya <= yb) return;
        std::swap(xa, xb);
        std::swap(ya, yb);
    };
    order(x1, y1, x2, y2);
    order(x1, y1, x3, y3);
    order(x2, y2, x3, y3);

    EdgeWalker a, b; // a: the short edges 1-2 then 2-3; b: the long edge 1-3
    b.Start(x1, y1, x3, y3);
    a.Start(x1, y1, x2, y2);
    int64_t y = y1;

    if (y1 != y2) {
        for (int64_t k = 0; k < a.major;) {
            int64_t pendingA = 0;
            int64_t lo = std::min(a.x, b.x), hi = std::max(a.x, b.x);
            while (k < a.major) {
                ++k;
                a.error += a.minor;
                if (a.error >= a.major) {
                    a.error -= a.major;
                    if (!a.steep) break;
                    pendingA = a.step;
                }
                if (a.steep) break;
                a.x += a.step;
            }
            const int64_t pendingB = AdvanceLongEdge(b, false, 0);
            lo = std::min({lo, a.x, b.x});
            hi = std::max({hi, a.x, b.x});
            Span(*this, lo, hi, y, p);
            a.FinishRow(pendingA);
            b.FinishRow(pendingB);
            if (++y == y2) break;
        }
    }

    a.Start(x2, y2, x3, y3);
    for (int64_t k = 0; k <= a.major; ++k) {
        int64_t pendingA = 0;
        int64_t lo = std::min(a.x, b.x), hi = std::max(a.x, b.x);
        while (k < a.major) {
            a.error += a.minor;
            if (a.error >= a.major) {
                a.error -= a.major;
                if (a.steep) pendingA = a.step;
                break;
            }
            if (a.steep) break;
            a.x += a.step;
            ++k;
        }
        const int64_t pendingB = AdvanceLongEdge(b, true, x3);
        lo = std::min({lo, a.x, b.x});
        hi = std::max({hi, a.x, b.x});
        Span(*this, lo, hi, y, p);
        a.FinishRow(pendingA);
        b.FinishRow(pendingB);
        if (++y > y3) return;
    }
}

void Tesserine::FillTriangle(const Vec2i& pos1, const Vec2i& pos2, const Vec2i& pos3, Pixel p) {
    FillTriangle(pos1.x, pos1.y, pos2.x, pos2.y, pos3.x, pos3.y, p);
}

} // namespace dral
