// Two-component vectors: Vec2i for sizes and positions in pixels, Vec2f for texture coordinates,
// decal positions and scales. All float arithmetic is single precision.
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
};

/// Both components of v times s.
inline Vec2f operator*(float s, const Vec2f& v) {
    return {s * v.x, s * v.y};
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
};

/// Each component is f / component in float, truncated: the result is integral.
inline Vec2i operator/(float f, const Vec2i& v) {
    return {static_cast<int32_t>(f / static_cast<float>(v.x)),
            static_cast<int32_t>(f / static_cast<float>(v.y))};
}

} // namespace dral
