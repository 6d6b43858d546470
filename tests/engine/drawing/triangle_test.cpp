// FillTriangle's scan conversion: the designed examples, the flat-side order dependence, and a
// property test over many random triangles (one span per row, every vertex covered, and with
// three distinct y values the same pixels whatever the vertex order).
#include <gtest/gtest.h>

#include <array>
#include <random>

#include "recording_engine.h"

namespace dral::testing {
namespace {

struct Span {
    int32_t lo, hi;
    bool operator==(const Span&) const = default;
};

// Splits the plots into rows, requiring that each row is one left-to-right run drawn in one go
// and that rows follow each other downwards without gaps. Reports a failure and returns false
// otherwise; first and spans receive the top row and the runs.
bool RowsOf(const std::vector<Plot>& plots, int32_t& first, std::vector<Span>& spans) {
    spans.clear();
    if (plots.empty()) return true;
    first = plots.front().second;
    for (size_t i = 0; i < plots.size(); ++i) {
        const auto [x, y] = plots[i];
        const bool newRow = i == 0 || y != plots[i - 1].second;
        if (newRow) {
            if (y != first + int32_t(spans.size())) {
                ADD_FAILURE() << "row " << y << " out of order or drawn twice";
                return false;
            }
            spans.push_back({x, x});
        } else if (x != spans.back().hi + 1) {
            ADD_FAILURE() << "row " << y << " is not one left-to-right run at x " << x;
            return false;
        } else {
            spans.back().hi = x;
        }
    }
    return true;
}

TEST(FillTriangle, RightTriangleFillsOneShrinkingSpanPerRow) {
    DrawingEngine e;
    e.FillTriangle(0, 0, 10, 0, 0, 10, White);
    int32_t first = 0;
    std::vector<Span> spans;
    ASSERT_TRUE(RowsOf(e.Take(), first, spans));
    EXPECT_EQ(first, 0);
    ASSERT_EQ(spans.size(), 11u);
    for (int32_t y = 0; y <= 10; ++y) EXPECT_EQ(spans[size_t(y)], (Span{0, 10 - y})) << y;
}

TEST(FillTriangle, FlatSideDependsOnWhichVertexIsWalkedSecond) {
    DrawingEngine e;
    int32_t first = 0;
    std::vector<Span> spans;
    e.FillTriangle({-3, -1}, {1, 1}, {6, 1}, White);
    ASSERT_TRUE(RowsOf(e.Take(), first, spans));
    ASSERT_EQ(spans.size(), 3u);
    EXPECT_EQ(spans[2], (Span{1, 6}));
    e.FillTriangle({-3, -1}, {6, 1}, {1, 1}, White);
    ASSERT_TRUE(RowsOf(e.Take(), first, spans));
    ASSERT_EQ(spans.size(), 3u);
    EXPECT_EQ(spans[2], (Span{0, 6}));
}

TEST(FillTriangle, DegenerateTrianglesDrawOneRowOrOnePixel) {
    DrawingEngine e;
    e.FillTriangle(5, 3, -2, 3, 9, 3, White);
    int32_t first = 0;
    std::vector<Span> spans;
    ASSERT_TRUE(RowsOf(e.Take(), first, spans));
    EXPECT_EQ(first, 3);
    EXPECT_EQ(spans, (std::vector<Span>{{-2, 9}}));
    e.FillTriangle(4, 4, 4, 4, 4, 4, White);
    EXPECT_EQ(e.Take(), (std::vector<Plot>{{4, 4}}));
    e.FillTriangle(2, 0, 2, 5, 2, 9, White); // a vertical sliver
    ASSERT_TRUE(RowsOf(e.Take(), first, spans));
    EXPECT_EQ(spans, std::vector<Span>(10, Span{2, 2}));
}

// Checks one triangle: one run per row from the top to the bottom vertex, each vertex on its
// row's run. Returns the sorted plots.
std::vector<Plot> CheckTriangle(DrawingEngine& e, const std::array<Vec2i, 3>& v) {
    e.FillTriangle(v[0], v[1], v[2], White);
    std::vector<Plot> plots = e.Take();
    int32_t first = 0;
    std::vector<Span> spans;
    const int32_t top = std::min({v[0].y, v[1].y, v[2].y});
    const int32_t bottom = std::max({v[0].y, v[1].y, v[2].y});
    if (!RowsOf(plots, first, spans)) return {};
    EXPECT_EQ(first, top);
    EXPECT_EQ(spans.size(), size_t(bottom - top + 1));
    if (spans.size() != size_t(bottom - top + 1)) return {};
    for (const Vec2i& p : v) {
        const Span s = spans[size_t(p.y - top)];
        EXPECT_TRUE(s.lo <= p.x && p.x <= s.hi) << "vertex (" << p.x << ", " << p.y << ")";
    }
    return Sorted(std::move(plots));
}

void CheckRandomTriangles(int count, int32_t spreadX, int32_t spreadY, uint32_t seed) {
    DrawingEngine e;
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int32_t> dx(-spreadX, spreadX), dy(-spreadY, spreadY);
    for (int n = 0; n < count; ++n) {
        std::array<Vec2i, 3> v;
        for (Vec2i& p : v) p = {dx(rng), dy(rng)};
        SCOPED_TRACE(::testing::Message()
                     << "(" << v[0].x << ", " << v[0].y << "), (" << v[1].x << ", " << v[1].y
                     << "), (" << v[2].x << ", " << v[2].y << ")");
        const std::vector<Plot> reference = CheckTriangle(e, v);
        if (::testing::Test::HasFailure()) return;
        const bool distinctY = v[0].y != v[1].y && v[1].y != v[2].y && v[0].y != v[2].y;
        std::array<int, 3> order{0, 1, 2};
        while (std::next_permutation(order.begin(), order.end())) {
            const std::vector<Plot> other =
                CheckTriangle(e, {v[order[0]], v[order[1]], v[order[2]]});
            if (distinctY) {
                EXPECT_EQ(other, reference) << "order " << order[0] << order[1] << order[2];
            }
            if (::testing::Test::HasFailure()) return;
        }
    }
}

TEST(FillTriangle, RandomTrianglesHaveOneSpanPerRowAndIgnoreVertexOrder) {
    CheckRandomTriangles(3000, 40, 40, 1u);
}

TEST(FillTriangle, RandomFlatAndSteepTrianglesKeepTheProperties) {
    CheckRandomTriangles(1000, 300, 6, 2u); // long shallow edges, many shared y values
    CheckRandomTriangles(1000, 6, 300, 3u); // tall steep edges
}

} // namespace
} // namespace dral::testing
