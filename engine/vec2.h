// Two-component vectors: Vec2i for sizes and positions in pixels, Vec2f for texture coordinates,
// decal positions and scales. All float arithmetic is single precision.
#pragma once

#include <cmath>
#include <cstdint>

namespace dral {

struct Vec2f {
    float x = 0.0f;
    float y = 0.0f;

    constexpr Vec2f() = default;
    constexpr Vec2f(float x_, float y_) : x(x_), y(y_) {}

    Vec2f operator+(const Vec2f& o) const { return {x + o.x, y + o.y}; }
    Vec2f operator-(const Vec2f& o) const { return {x - o.x, y - o.y}; }
    Vec2f operator*(const Vec2f& o) const { return {x * o.x, y * o.y}; }
    Vec2f operator*(float s) const { return {x * s, y * s}; }
    Vec2f& operator*=(float s) {
        x *= s;
        y *= s;
        return *this;
    }
    float Length() const { return std::sqrt(x * x + y * y); }
};

inline Vec2f operator*(float s, const Vec2f& v) {
    return {s * v.x, s * v.y};
}

struct Vec2i {
    int32_t x = 0;
    int32_t y = 0;

    constexpr Vec2i() = default;
    constexpr Vec2i(int32_t x_, int32_t y_) : x(x_), y(y_) {}

    Vec2i operator*(const Vec2i& o) const { return {x * o.x, y * o.y}; }
    Vec2i operator-(const Vec2i& o) const { return {x - o.x, y - o.y}; }
    Vec2i operator/(int32_t d) const { return {x / d, y / d}; }
    bool operator==(const Vec2i&) const = default;
    operator Vec2f() const { return {static_cast<float>(x), static_cast<float>(y)}; }
};

// Each component is f / component in float, truncated: the result is integral.
inline Vec2i operator/(float f, const Vec2i& v) {
    return {static_cast<int32_t>(f / static_cast<float>(v.x)),
            static_cast<int32_t>(f / static_cast<float>(v.y))};
}

} // namespace dral
