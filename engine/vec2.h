// Two-component vectors: Vec2i for sizes and positions in pixels, Vec2f for texture coordinates,
// decal positions and scales, with the products, lengths and turns a game's movement needs. All
// float arithmetic is single precision.
#pragma once

#include <cmath>
#include <cstdint>

namespace dral {

/// A 2-D vector of floats: decal positions in engine pixels, scales, texture coordinates.
struct Vec2f {
    /// Horizontal component, rightwards.
    float x = 0.0f;
    /// Vertical component, downwards.
    float y = 0.0f;

    constexpr Vec2f() = default;
    /// The vector (x_, y_).
    constexpr Vec2f(float x_, float y_) : x(x_), y(y_) {}

    /// Component-wise sum.
    Vec2f operator+(const Vec2f& o) const { return {x + o.x, y + o.y}; }
    /// Component-wise difference.
    Vec2f operator-(const Vec2f& o) const { return {x - o.x, y - o.y}; }
    /// Component-wise product.
    Vec2f operator*(const Vec2f& o) const { return {x * o.x, y * o.y}; }
    /// Both components times s.
    Vec2f operator*(float s) const { return {x * s, y * s}; }
    /// Multiplies both components by s in place.
    Vec2f& operator*=(float s) {
        x *= s;
        y *= s;
        return *this;
    }
    /// Euclidean length.
    float Length() const { return std::sqrt(x * x + y * y); }

    /// x·x + y·y: compares distances without a square root.
    float LengthSquared() const { return x * x + y * y; }
    /// Dot product: x·o.x + y·o.y.
    float Dot(const Vec2f& o) const { return x * o.x + y * o.y; }
    /// The z of the 3-D cross product, x·o.y − y·o.x: positive when o lies clockwise of this
    /// vector on screen (y runs down), 0 when they are parallel.
    float Cross(const Vec2f& o) const { return x * o.y - y * o.x; }
    /// This vector scaled to length 1; the zero vector (or one too short for its length to be
    /// representable) stays (0, 0) rather than becoming NaN.
    Vec2f Normalised() const {
        const float length = Length();
        return length > 0.0f ? Vec2f{x / length, y / length} : Vec2f{};
    }
    /// The vector turned a quarter clockwise on screen (y runs down): (−y, x).
    Vec2f Perpendicular() const { return {-y, x}; }
};

/// Both components of v times s.
inline Vec2f operator*(float s, const Vec2f& v) {
    return {s * v.x, s * v.y};
}

/// The point a fraction t of the way from a to b, as a·(1 − t) + b·t, so t = 0 gives a and t = 1
/// gives b exactly; t outside 0–1 extrapolates.
inline Vec2f Lerp(const Vec2f& a, const Vec2f& b, float t) {
    return a * (1.0f - t) + b * t;
}

/// A 2-D vector of 32-bit integers: positions and sizes in pixels.
struct Vec2i {
    /// Horizontal component, rightwards.
    int32_t x = 0;
    /// Vertical component, downwards.
    int32_t y = 0;

    constexpr Vec2i() = default;
    /// The vector (x_, y_).
    constexpr Vec2i(int32_t x_, int32_t y_) : x(x_), y(y_) {}

    /// Component-wise product.
    Vec2i operator*(const Vec2i& o) const { return {x * o.x, y * o.y}; }
    /// Component-wise difference.
    Vec2i operator-(const Vec2i& o) const { return {x - o.x, y - o.y}; }
    /// Both components divided by d, truncating toward zero; d must not be 0.
    Vec2i operator/(int32_t d) const { return {x / d, y / d}; }
    /// True when both components are equal.
    bool operator==(const Vec2i&) const = default;
    /// The same vector in floats.
    operator Vec2f() const { return {static_cast<float>(x), static_cast<float>(y)}; }

    /// x·x + y·y in 64 bits: exact, but for (INT32_MIN, INT32_MIN) whose 2^63 wraps (see Dot).
    int64_t LengthSquared() const { return Dot(*this); }
    /// Dot product in 64 bits: exact for every pair but (INT32_MIN, INT32_MIN) with itself, whose
    /// 2^63 does not fit and wraps to INT64_MIN.
    int64_t Dot(const Vec2i& o) const {
        const uint64_t sum =
            static_cast<uint64_t>(int64_t{x} * o.x) + static_cast<uint64_t>(int64_t{y} * o.y);
        return static_cast<int64_t>(sum);
    }
    /// The z of the 3-D cross product in 64 bits, exact: positive when o lies clockwise of this
    /// vector on screen, 0 when they are parallel.
    int64_t Cross(const Vec2i& o) const { return int64_t{x} * o.y - int64_t{y} * o.x; }
    /// Euclidean length in single precision.
    float Length() const { return std::sqrt(static_cast<float>(LengthSquared())); }
    /// The vector turned a quarter clockwise on screen: (−y, x). Wraps for y = INT32_MIN, the one
    /// component with no negation.
    Vec2i Perpendicular() const { return {static_cast<int32_t>(0u - static_cast<uint32_t>(y)), x}; }
};

/// Each component is f / component in float, truncated: the result is integral.
inline Vec2i operator/(float f, const Vec2i& v) {
    return {static_cast<int32_t>(f / static_cast<float>(v.x)),
            static_cast<int32_t>(f / static_cast<float>(v.y))};
}

} // namespace dral
