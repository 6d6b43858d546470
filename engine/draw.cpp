// The draw target's pixel modes and the rasterised primitives. Every plotted pixel goes through
// the virtual Draw, so an application's override sees all drawing; when Draw is the engine's own,
// the same walks write straight into the target instead (engine/plot.h). Only Clear writes the
// array unconditionally. Walks use 64-bit integers so extreme coordinates cannot overflow mid-walk.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "engine/plot.h"
#include "engine/tesserine.h"

namespace dral {

namespace {

using plot::Dispatch;

// One edge of a triangle walked row by row with an integer error term; a steep edge advances
// one row per step, a shallow one several columns per row. Every row's advance, and any number
// of rows, is worked out at once rather than column by column, so that a shallow edge costs the
// same as a steep one and a walk can start at the first row on the target.
struct EdgeWalker {
    int64_t x = 0, step = 1, major = 0, minor = 0, error = 0;
    int64_t k = 0; // steps taken along the major axis
    bool steep = false;

    void Start(int64_t xa, int64_t ya, int64_t xb, int64_t yb) {
        x = xa;
        step = xb < xa ? -1 : 1;
        major = std::abs(xb - xa);
        minor = yb - ya;
        steep = minor > major;
        if (steep) std::swap(major, minor);
        error = major / 2;
        k = 0;
    }
    // Shallow edge: the column steps until the error wraps, counting the one that wraps it
    // (Never when it cannot).
    static constexpr int64_t Never = std::numeric_limits<int64_t>::max();
    int64_t WrapDistance() const {
        if (error + minor >= major) return 1;
        if (minor == 0) return Never;
        return (major - error + minor - 1) / minor;
    }
    // Shallow edge: `columns` steps without a wrap, each moving x.
    void Slide(int64_t columns) {
        x += columns * step;
        error += columns * minor;
    }
    // Steep edge: one row's step; the column step it calls for, if any.
    int64_t SteepRow() {
        error += minor;
        if (error < major) return 0;
        error -= major;
        return step;
    }
    // A row of the edge from vertex 1 to 2: at most major - k steps; the row ends at the wrap.
    int64_t UpperRow() {
        if (steep) {
            ++k;
            return SteepRow();
        }
        const int64_t wrap = WrapDistance(), room = major - k;
        if (wrap <= room) {
            Slide(wrap - 1);
            error += minor - major;
            k += wrap;
        } else {
            Slide(room);
            k = major;
        }
        return 0;
    }
    // A row of the edge from vertex 2 to 3: as UpperRow, but a wrapping step is not counted in
    // the row (the row's own count follows it), and a steep step needs room too.
    int64_t LowerRow() {
        if (k >= major) return 0;
        if (steep) return SteepRow();
        const int64_t wrap = WrapDistance(), room = major - k;
        if (wrap <= room) {
            Slide(wrap - 1);
            error += minor - major;
            k += wrap - 1;
        } else {
            Slide(room);
            k = major;
        }
        return 0;
    }
    // A row of the long edge, from vertex 1 to 3. A bounded walk also stops on reaching column
    // end: on a flat triangle it would walk on.
    int64_t LongRow(bool bounded, int64_t end) {
        if (bounded && x == end) return 0;
        if (steep) return SteepRow();
        const int64_t wrap = WrapDistance();
        const int64_t toEnd = bounded && (end - x) * step > 0 ? (end - x) * step : Never;
        if (toEnd < wrap) {
            Slide(toEnd);
        } else {
            Slide(wrap - 1);
            error += minor - major;
        }
        return 0;
    }
    // After the row's span: the shallow edge's column step that ended the row, then any pending
    // step of the steep edge.
    void FinishRow(int64_t pending) { x += (steep ? 0 : step) + pending; }

    // Skips `rows` whole rows (each FinishRow'd) from the edge's start in one step: a steep edge
    // has taken `rows` steps and wrapped once per column; a shallow one has wrapped once per row.
    // The error lies in one band of known width, which fixes the count; the products may pass
    // 64 bits and are taken modulo 2^64, where the band's small values come out exact.
    void SkipRows(int64_t rows) {
        if (rows <= 0) return;
        const auto wrapped = [](uint64_t v) { return static_cast<int64_t>(v); };
        const int64_t start = major / 2;
        if (steep) {
            // error = start + rows * minor - wraps * major, within 0..major-1.
            int64_t wraps = static_cast<int64_t>(
                (static_cast<long double>(start) + static_cast<long double>(rows) * minor) /
                static_cast<long double>(major));
            error = wrapped(uint64_t(start) + uint64_t(rows) * uint64_t(minor) -
                            uint64_t(wraps) * uint64_t(major));
            while (error < 0) --wraps, error += major;
            while (error >= major) ++wraps, error -= major;
            x += wraps * step;
            k = rows;
            return;
        }
        // Shallow: the steps taken, the fewest that wrap `rows` times; error = start + steps *
        // minor - rows * major, within 0..minor-1.
        int64_t steps = static_cast<int64_t>(
            (static_cast<long double>(rows) * major - static_cast<long double>(start)) /
            static_cast<long double>(minor));
        error = wrapped(uint64_t(start) + uint64_t(steps) * uint64_t(minor) -
                        uint64_t(rows) * uint64_t(major));
        while (error < 0) ++steps, error += minor;
        while (error >= minor) --steps, error -= minor;
        x += steps * step;
        k = steps;
    }
};

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

// The midpoint circle walk at any step, so that a clipped walk can start anywhere. At step i
// (i >= 1) the walk's j is min(r, the largest j with j(j - 1) <= r^2 - i^2 - 1), and its decision
// term is F(i + 1, j) + F(i + 1, j - 1) with F(a, b) = a^2 + b^2 - r^2. All of it stays below
// 2^63 for r up to int32's largest.
class CircleSteps {
  public:
    explicit CircleSteps(int64_t radius) : r(radius) {
        // The walk runs while j >= i: the last such step, found by halving.
        int64_t lo = 0, hi = r;
        while (lo < hi) {
            const int64_t mid = lo + (hi - lo + 1) / 2;
            if (J(mid) >= mid)
                lo = mid;
            else
                hi = mid - 1;
        }
        last = lo;
    }
    int64_t Last() const { return last; }
    int64_t J(int64_t i) const {
        if (i == 0) return r;
        const int64_t n = r * r - i * i - 1;
        if (n < 0) return 0;
        int64_t s = static_cast<int64_t>(std::sqrt(static_cast<double>(n)));
        while (s * s > n) --s;
        while ((s + 1) * (s + 1) <= n) ++s;
        for (int64_t j = s + 1; j > s - 2; --j)
            if (j >= 0 && j * (j - 1) <= n) return std::min(j, r);
        return 0;
    }
    int64_t D(int64_t i, int64_t j) const {
        const int64_t a = (i + 1) * (i + 1) - r * r;
        return (a + j * j) + (a + (j - 1) * (j - 1));
    }
    // The steps 0..Last() whose j lies in jLo..jHi, as first..last (empty when first > last).
    void StepsWithJ(int64_t jLo, int64_t jHi, int64_t& first, int64_t& lastStep) const {
        first = FirstWithJAtMost(jHi);
        lastStep = FirstWithJAtMost(jLo - 1) - 1;
    }

  private:
    // The first step whose j is at most `j` (Last() + 1 when none): j never grows along the walk.
    int64_t FirstWithJAtMost(int64_t j) const {
        int64_t lo = 0, hi = last + 1;
        while (lo < hi) {
            const int64_t mid = lo + (hi - lo) / 2;
            if (J(mid) <= j)
                hi = mid;
            else
                lo = mid + 1;
        }
        return lo;
    }
    int64_t r, last = 0;
};

// Step ranges of a clipped circle walk, merged and in rising order; at most a few dozen, so
// they live on the stack.
class StepRanges {
  public:
    void Add(int64_t first, int64_t lastStep) {
        if (first <= lastStep && count < Capacity) ranges[count++] = {first, lastStep};
    }
    // The steps i for which coordinate c + sign * i, as it wraps to int32, lies in
    // 0..extent-1; the coordinates stay within one turn of int32 either way.
    void AddLinear(int64_t c, int64_t sign, int64_t extent) {
        constexpr int64_t Turn = int64_t{1} << 32;
        for (int64_t k = -1; k <= 1; ++k) {
            if (sign > 0)
                Add(k * Turn - c, k * Turn + extent - 1 - c);
            else
                Add(c - k * Turn - extent + 1, c - k * Turn);
        }
    }
    // Calls body(first, last) for each merged range within 0..lastStep.
    template <class Body> void ForEach(int64_t lastStep, Body&& body) {
        std::sort(ranges, ranges + count,
                  [](const Range& a, const Range& b) { return a.first < b.first; });
        int64_t next = 0; // the first step not yet walked
        for (int i = 0; i < count; ++i) {
            const int64_t from = std::max(ranges[i].first, next);
            const int64_t to = std::min(ranges[i].last, lastStep);
            if (from > to) continue;
            body(from, to);
            next = to + 1;
        }
    }

  private:
    struct Range {
        int64_t first, last;
    };
    static constexpr int Capacity = 32;
    Range ranges[Capacity];
    int count = 0;
};

bool InInt32(int64_t v) {
    return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}

// A line's candidates, in order: from the end with the smaller major coordinate (x when the line
// is at least as wide as tall, else y), the minor coordinate stepping when the error term says.
// Any candidate can be reached at once, so that a walk may start where the target begins.
class LineWalker {
  public:
    LineWalker(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
        const int64_t dx = x2 - x1, dy = y2 - y1;
        xMajor = std::abs(dy) <= std::abs(dx);
        const bool fromFirst = xMajor ? dx >= 0 : dy >= 0;
        startX = fromFirst ? x1 : x2;
        startY = fromFirst ? y1 : y2;
        major = xMajor ? std::abs(dx) : std::abs(dy);
        minor = xMajor ? std::abs(dy) : std::abs(dx);
        minorStep = (dx > 0) == (dy > 0) ? 1 : -1;
        JumpTo(0);
    }
    // Candidates in the line, both ends included.
    int64_t Count() const { return major + 1; }
    // The major coordinate of the first candidate: candidate n has major coordinate start + n.
    int64_t MajorStart() const { return xMajor ? startX : startY; }
    bool XMajor() const { return xMajor; }
    int64_t X() const { return xMajor ? startX + n : startX + minorStep * stepped; }
    int64_t Y() const { return xMajor ? startY + minorStep * stepped : startY + n; }

    // To candidate `index`. The error term after n steps is the first one's plus n times twice
    // the minor extent, less twice the major extent per minor step; it stays within one band of
    // width 2 x major, which fixes the number of minor steps. The products may pass 64 bits: they
    // are taken modulo 2^64, where the band's small values come out exact.
    void JumpTo(int64_t index) {
        n = index;
        stepped = 0;
        error = 2 * minor - major;
        if (major == 0) return; // a single point
        const long double estimate = (2.0L * minor * n + major) / (2.0L * major);
        stepped = static_cast<int64_t>(estimate);
        const auto wrapped = [](uint64_t v) { return static_cast<int64_t>(v); };
        error = wrapped(uint64_t(2 * minor - major) + uint64_t(2 * minor) * uint64_t(n) -
                        uint64_t(2 * major) * uint64_t(stepped));
        // x-major steps on error >= 0: the band is [2 minor - 2 major, 2 minor); y-major steps
        // on error > 0: (2 minor - 2 major, 2 minor].
        const int64_t low = 2 * minor - 2 * major, high = 2 * minor;
        while (xMajor ? error < low : error <= low) {
            --stepped;
            error += 2 * major;
        }
        while (xMajor ? error >= high : error > high) {
            ++stepped;
            error -= 2 * major;
        }
    }
    void Next() {
        ++n;
        if (xMajor ? error < 0 : error <= 0) {
            error += 2 * minor;
        } else {
            ++stepped;
            error += 2 * (minor - major);
        }
    }

  private:
    int64_t startX = 0, startY = 0, major = 0, minor = 0, minorStep = 1;
    int64_t n = 0, stepped = 0, error = 0;
    bool xMajor = true;
};

// The candidates first..last of a line, in order.
template <class Candidate>
void LineCandidates(LineWalker& line, int64_t first, int64_t last, Candidate&& candidate) {
    if (first > last) return;
    if (first != 0) line.JumpTo(first);
    for (int64_t n = first;; ++n) {
        candidate(line.X(), line.Y());
        if (n == last) return;
        line.Next();
    }
}

// The candidates a walk must visit: every one for a plotter that hands each to Draw, else those
// whose major coordinate lies on the target (a line's coordinates never leave int32).
template <class Plotter>
void LineRange(const Plotter& plot, const LineWalker& line, int64_t& first, int64_t& last) {
    first = 0;
    last = line.Count() - 1;
    if constexpr (Plotter::clips) {
        const int64_t extent = line.XMajor() ? plot.target.width : plot.target.height;
        first = std::max(first, -line.MajorStart());
        last = std::min(last, extent - 1 - line.MajorStart());
    }
}

// Each candidate consumes one bit of the pattern, starting from bit 31, on or off target. A solid
// line is a span when horizontal, and needs no clipping when both ends lie on the target.
template <class Plotter>
void LineWalk(const Plotter& plot, int64_t x1, int64_t y1, int64_t x2, int64_t y2, Pixel p,
              uint32_t pattern) {
    if (pattern == ~0u && y1 == y2) return plot.Span(std::min(x1, x2), std::max(x1, x2), y1, p);
    LineWalker line(x1, y1, x2, y2);
    int64_t first, last;
    LineRange(plot, line, first, last);
    if constexpr (requires { plot.PlotInside(0, 0, p); }) {
        if (pattern == ~0u && plot.Inside(x1, y1) && plot.Inside(x2, y2))
            return LineCandidates(line, first, last,
                                  [&](int64_t x, int64_t y) { plot.PlotInside(x, y, p); });
    }
    // Candidates skipped before the first consume their bits all the same.
    pattern = std::rotl(pattern, static_cast<int>(first % 32));
    LineCandidates(line, first, last, [&](int64_t x, int64_t y) {
        pattern = std::rotl(pattern, 1);
        if (pattern & 1u) plot.Plot(x, y, p);
    });
}

// Runs step(i, j, d) for the circle walk's steps: all of them for a plotter that hands every
// pixel to Draw, else only those in `ranges` (whose other steps cannot touch the target).
template <class Plotter, class Ranges, class Step>
void WalkCircle(const Plotter&, int64_t radius, Ranges&& ranges, Step&& step) {
    if constexpr (!Plotter::clips) {
        int64_t i = 0, j = radius, d = 3 - 2 * radius;
        while (j >= i) {
            step(i, j, d);
            MidpointStep(i, j, d);
        }
    } else {
        const CircleSteps steps(radius);
        StepRanges chosen;
        ranges(steps, chosen);
        chosen.ForEach(steps.Last(), [&](int64_t first, int64_t lastStep) {
            int64_t i = first, j = steps.J(first), d = steps.D(first, j);
            for (;;) {
                step(i, j, d);
                if (i == lastStep) return;
                MidpointStep(i, j, d);
            }
        });
    }
}

// The whole outline through Draw: the same calls as CircleWalk with every octant, the eight
// points' coordinates kept as the wrapped values Draw receives and each moved by one when the
// walk moves it, so that per pixel nothing runs but the call.
void OutlineThroughDraw(Tesserine& engine, int32_t x, int32_t y, int64_t radius, Pixel p) {
    const auto r = uint32_t(radius);
    // x + i, x - i, y + i, y - i, and the same with j.
    uint32_t xPlusI = uint32_t(x), xMinusI = xPlusI, yPlusI = uint32_t(y), yMinusI = yPlusI;
    uint32_t xPlusJ = xPlusI + r, xMinusJ = xPlusI - r, yPlusJ = yPlusI + r, yMinusJ = yPlusI - r;
    const auto draw = [&](uint32_t px, uint32_t py) { engine.Draw(int32_t(px), int32_t(py), p); };
    int64_t i = 0, j = radius, d = 3 - 2 * radius;
    while (j >= i) {
        draw(xPlusI, yMinusJ);
        draw(xPlusJ, yMinusI);
        draw(xPlusJ, yPlusI);
        draw(xPlusI, yPlusJ);
        draw(xMinusI, yPlusJ);
        draw(xMinusJ, yPlusI);
        draw(xMinusJ, yMinusI);
        draw(xMinusI, yMinusJ);
        if (d >= 0) {
            --xPlusJ, ++xMinusJ, --yPlusJ, ++yMinusJ;
        }
        MidpointStep(i, j, d);
        ++xPlusI, --xMinusI, ++yPlusI, --yMinusI;
    }
}

template <class Plotter>
void CircleWalk(const Plotter& plot, int64_t x, int64_t y, int64_t radius, Pixel p, uint8_t mask) {
    if constexpr (!Plotter::clips) {
        if (mask == 0xFF) return OutlineThroughDraw(plot.engine, int32_t(x), int32_t(y), radius, p);
    }
    // Every point has one coordinate that moves with i: only the steps that put it on the target
    // can plot there.
    auto ranges = [&](const CircleSteps&, StepRanges& chosen) {
        if constexpr (Plotter::clips) {
            chosen.AddLinear(x, 1, plot.target.width);
            chosen.AddLinear(x, -1, plot.target.width);
            chosen.AddLinear(y, 1, plot.target.height);
            chosen.AddLinear(y, -1, plot.target.height);
        }
    };
    WalkCircle(plot, radius, ranges, [&](int64_t i, int64_t j, int64_t) {
        // Octants clockwise from twelve o'clock; shared border points are plotted by both.
        if (mask & 0x01) plot.Plot(x + i, y - j, p);
        if (mask & 0x02) plot.Plot(x + j, y - i, p);
        if (mask & 0x04) plot.Plot(x + j, y + i, p);
        if (mask & 0x08) plot.Plot(x + i, y + j, p);
        if (mask & 0x10) plot.Plot(x - i, y + j, p);
        if (mask & 0x20) plot.Plot(x - j, y + i, p);
        if (mask & 0x40) plot.Plot(x - j, y - i, p);
        if (mask & 0x80) plot.Plot(x - i, y - j, p);
    });
}

template <class Plotter>
void FilledCircleWalk(const Plotter& plot, int64_t x, int64_t y, int64_t radius, Pixel p) {
    // Rows are spanned more than once. Where a repeat cannot change a pixel, the rows y -+ j are
    // spanned only in the last pass before j moves on (the widest), and the centre row once.
    constexpr bool keepRepeats = Plotter::keepsRepeats;
    // Rows y -+ i reach the target over ranges of i, rows y -+ j over the steps whose j puts
    // them there; other steps span rows off the target.
    auto ranges = [&](const CircleSteps& steps, StepRanges& chosen) {
        if constexpr (Plotter::clips) {
            const int64_t height = plot.target.height;
            chosen.AddLinear(y, 1, height);
            chosen.AddLinear(y, -1, height);
            StepRanges rows; // the j for which y + j or y - j lands on the target
            rows.AddLinear(y, 1, height);
            rows.AddLinear(y, -1, height);
            rows.ForEach(radius, [&](int64_t jLo, int64_t jHi) {
                int64_t first, lastStep;
                steps.StepsWithJ(jLo, jHi, first, lastStep);
                chosen.Add(first, lastStep);
            });
        }
    };
    WalkCircle(plot, radius, ranges, [&](int64_t i, int64_t j, int64_t d) {
        const bool lastForJ = d >= 0 || i + 1 > j;
        if (keepRepeats || lastForJ) plot.Span(x - i, x + i, y - j, p);
        plot.Span(x - j, x + j, y - i, p);
        if (keepRepeats || lastForJ) plot.Span(x - i, x + i, y + j, p);
        if (keepRepeats || i != 0) plot.Span(x - j, x + j, y + i, p);
    });
}

template <class Plotter>
void FilledTriangleWalk(const Plotter& plot, int64_t x1, int64_t y1, int64_t x2, int64_t y2,
                        int64_t x3, int64_t y3, Pixel p) {
    EdgeWalker a, b; // a: the short edges 1-2 then 2-3; b: the long edge 1-3
    b.Start(x1, y1, x3, y3);
    a.Start(x1, y1, x2, y2);
    int64_t y = y1;
    // A plotter that drops what lies off the target starts at its first row and stops after its
    // last; one that hands every pixel to Draw walks every row.
    int64_t firstRow = y1, lastRow = y3;
    if constexpr (Plotter::clips) {
        firstRow = std::max<int64_t>(y1, 0);
        lastRow = std::min<int64_t>(y3, plot.target.height - 1);
        if (firstRow > lastRow) return;
    }
    auto row = [&](int64_t pendingA, int64_t pendingB, int64_t lo, int64_t hi) {
        lo = std::min({lo, a.x, b.x});
        hi = std::max({hi, a.x, b.x});
        plot.Span(lo, hi, y, p);
        a.FinishRow(pendingA);
        b.FinishRow(pendingB);
    };

    if (y1 != y2 && firstRow < y2) {
        a.SkipRows(firstRow - y1);
        b.SkipRows(firstRow - y1);
        y = firstRow;
        while (a.k < a.major) {
            const int64_t lo = std::min(a.x, b.x), hi = std::max(a.x, b.x);
            const int64_t pendingA = a.UpperRow();
            row(pendingA, b.LongRow(false, 0), lo, hi);
            if (++y == y2 || y > lastRow) break;
        }
        if (y > lastRow) return;
    } else {
        b.SkipRows(firstRow - y1);
        y = firstRow;
    }

    a.Start(x2, y2, x3, y3);
    a.SkipRows(y - y2);
    for (; a.k <= a.major; ++a.k) {
        const int64_t lo = std::min(a.x, b.x), hi = std::max(a.x, b.x);
        const int64_t pendingA = a.LowerRow();
        row(pendingA, b.LongRow(true, x3), lo, hi);
        if (++y > lastRow) return;
    }
}

} // namespace

const void* Tesserine::ResolvedDraw() const {
    using DrawFunction = bool (Tesserine::*)(int32_t, int32_t, Pixel);
    [[maybe_unused]] const DrawFunction draw = &Tesserine::Draw;
#if defined(__GNUC__) && !defined(__clang__)
    // GCC resolves a bound pointer to a virtual member through the object's vtable.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpmf-conversions"
    using Resolved = bool (*)(Tesserine*, int32_t, int32_t, Pixel);
    Tesserine* self = const_cast<Tesserine*>(this);
    return reinterpret_cast<const void*>((Resolved)(self->*draw));
#pragma GCC diagnostic pop
#elif defined(__clang__) && (defined(__x86_64__) || defined(__i386__)) && !defined(_MSC_VER)
    // The Itanium C++ ABI on x86: a pointer to a virtual member holds 1 + the function's byte
    // offset in the vtable, and an adjustment of this that leads to the vtable pointer.
    struct {
        uintptr_t function;
        ptrdiff_t adjustment;
    } member;
    static_assert(sizeof(member) == sizeof(draw));
    std::memcpy(&member, &draw, sizeof(member));
    if (!(member.function & 1u)) return nullptr;
    const char* object = reinterpret_cast<const char*>(this) + member.adjustment;
    const char* vtable = *reinterpret_cast<const char* const*>(object);
    return *reinterpret_cast<const void* const*>(vtable + member.function - 1);
#else
    return nullptr;
#endif
}

Sprite* Tesserine::DirectTarget() const {
    if (!drawTarget || !drawTarget->pixels) return nullptr;
    if (pixelMode != Normal && pixelMode != Mask && pixelMode != Alpha) return nullptr;
    return UsesEngineDraw() ? drawTarget : nullptr;
}

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
        if (!target->Contains(x, y)) return false;
        Pixel& d = target->pixels[size_t(y) * size_t(target->width) + size_t(x)];
        d = plot::Blend(p, d, blendFactor);
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
    if (count) plot::FillRow(drawTarget->Pixels(), p, int64_t(count));
}

void Tesserine::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, Pixel p,
                         uint32_t pattern) {
    Dispatch(*this, DirectTarget(), pixelMode, blendFactor,
             [&](const auto& plot) { LineWalk(plot, x1, y1, x2, y2, p, pattern); });
}

void Tesserine::DrawLine(const Vec2i& pos1, const Vec2i& pos2, Pixel p, uint32_t pattern) {
    DrawLine(pos1.x, pos1.y, pos2.x, pos2.y, p, pattern);
}

void Tesserine::DrawCircle(int32_t x, int32_t y, int32_t radius, Pixel p, uint8_t mask) {
    if (radius <= 0) return;
    Dispatch(*this, DirectTarget(), pixelMode, blendFactor,
             [&](const auto& plot) { CircleWalk(plot, x, y, radius, p, mask); });
}

void Tesserine::DrawCircle(const Vec2i& pos, int32_t radius, Pixel p, uint8_t mask) {
    DrawCircle(pos.x, pos.y, radius, p, mask);
}

void Tesserine::FillCircle(int32_t x, int32_t y, int32_t radius, Pixel p) {
    if (radius <= 0) return;
    Dispatch(*this, DirectTarget(), pixelMode, blendFactor,
             [&](const auto& plot) { FilledCircleWalk(plot, x, y, radius, p); });
}

void Tesserine::FillCircle(const Vec2i& pos, int32_t radius, Pixel p) {
    FillCircle(pos.x, pos.y, radius, p);
}

void Tesserine::DrawRect(int32_t x, int32_t y, int32_t w, int32_t h, Pixel p) {
    // The far corner is kept wide: wrapped, it would land back on the target.
    const int64_t x2 = int64_t(x) + w, y2 = int64_t(y) + h;
    if (InInt32(x2) && InInt32(y2)) {
        const auto cx = static_cast<int32_t>(x2), cy = static_cast<int32_t>(y2);
        DrawLine(x, y, cx, y, p);
        DrawLine(cx, y, cx, cy, p);
        DrawLine(cx, cy, x, cy, p);
        DrawLine(x, cy, x, y, p);
        return;
    }
    // Sides that leave the int32 range: what lies beyond it lies off every target and is not
    // handed to Draw.
    Dispatch(*this, DirectTarget(), pixelMode, blendFactor, [&](const auto& plot) {
        auto side = [&](int64_t ax, int64_t ay, int64_t bx, int64_t by) {
            LineWalker line(ax, ay, bx, by);
            int64_t first, last;
            LineRange(plot, line, first, last);
            LineCandidates(line, first, last, [&](int64_t cx, int64_t cy) {
                if (InInt32(cx) && InInt32(cy)) plot.Plot(cx, cy, p);
            });
        };
        side(x, y, x2, y);
        side(x2, y, x2, y2);
        side(x2, y2, x, y2);
        side(x, y2, x, y);
    });
}

void Tesserine::DrawRect(const Vec2i& pos, const Vec2i& size, Pixel p) {
    DrawRect(pos.x, pos.y, size.x, size.y, p);
}

void Tesserine::FillRect(int32_t x, int32_t y, int32_t w, int32_t h, Pixel p) {
    const int64_t width = GetDrawTargetWidth(), height = GetDrawTargetHeight();
    auto clip = [](int64_t v, int64_t limit) { return std::clamp<int64_t>(v, 0, limit); };
    const int64_t left = clip(x, width), right = clip(int64_t(x) + w, width);
    const int64_t top = clip(y, height), bottom = clip(int64_t(y) + h, height);
    if (left >= right || top >= bottom) return;
    Dispatch(*this, DirectTarget(), pixelMode, blendFactor,
             [&](const auto& plot) { plot.Rect(left, right, top, bottom, p); });
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

    Dispatch(*this, DirectTarget(), pixelMode, blendFactor,
             [&](const auto& plot) { FilledTriangleWalk(plot, x1, y1, x2, y2, x3, y3, p); });
}

void Tesserine::FillTriangle(const Vec2i& pos1, const Vec2i& pos2, const Vec2i& pos3, Pixel p) {
    FillTriangle(pos1.x, pos1.y, pos2.x, pos2.y, pos3.x, pos3.y, p);
}

} // namespace dral
