// Overlap tests of axis-aligned rectangles, circles and points, for a game's collisions. The edge
// rules are the ones of pixel cells, so that shapes tiling a grid never collide with neighbours.
#pragma once

#include <algorithm>

#include "engine/vec2.h"

namespace dral {

// Edge rules, the same for every test below:
// - A rectangle holds the points with pos.x <= px < pos.x + size.x and pos.y <= py < pos.y +
//   size.y: its left and top edges belong to it, its right and bottom edges to the next cell, as
//   with the pixels FillRect covers. A size of 0 or less in either axis holds nothing.
// - A circle holds the points strictly nearer its centre than its radius; a radius of 0 or less
//   holds nothing.
// - Shapes that only touch do not overlap: rectangles sharing an edge or a corner, circles whose
//   distance is the sum of their radii, a circle resting on a rectangle's side or corner.

/// An axis-aligned rectangle: top-left corner and size, in the same units as the positions it is
/// tested against (engine pixels, usually).
struct Rect {
    /// Top-left corner.
    Vec2f pos;
    /// Width and height.
    Vec2f size;
};

/// A circle: centre and radius.
struct Circle {
    /// The centre.
    Vec2f center;
    /// The radius.
    float radius = 0.0f;
};

/// True when r holds no point: its width or height is 0 or less (or NaN).
inline bool IsEmpty(const Rect& r) {
    return !(r.size.x > 0.0f && r.size.y > 0.0f);
}

/// True when point p lies in r: left and top edges in, right and bottom edges out.
inline bool Contains(const Rect& r, const Vec2f& p) {
    return !IsEmpty(r) && p.x >= r.pos.x && p.x < r.pos.x + r.size.x && p.y >= r.pos.y &&
           p.y < r.pos.y + r.size.y;
}

/// True when point p lies strictly inside c.
inline bool Contains(const Circle& c, const Vec2f& p) {
    return (p - c.center).LengthSquared() < c.radius * c.radius && c.radius > 0.0f;
}

/// True when a and b share a point; rectangles that only share an edge do not.
inline bool Overlaps(const Rect& a, const Rect& b) {
    return !IsEmpty(a) && !IsEmpty(b) && a.pos.x < b.pos.x + b.size.x &&
           b.pos.x < a.pos.x + a.size.x && a.pos.y < b.pos.y + b.size.y &&
           b.pos.y < a.pos.y + a.size.y;
}

/// True when a and b share a point; circles that only touch do not.
inline bool Overlaps(const Circle& a, const Circle& b) {
    const float reach = a.radius + b.radius;
    return a.radius > 0.0f && b.radius > 0.0f &&
           (a.center - b.center).LengthSquared() < reach * reach;
}

/// True when r and c share a point: the point of r nearest c's centre lies strictly inside c.
inline bool Overlaps(const Rect& r, const Circle& c) {
    if (IsEmpty(r) || !(c.radius > 0.0f)) return false;
    const Vec2f nearest{std::clamp(c.center.x, r.pos.x, r.pos.x + r.size.x),
                        std::clamp(c.center.y, r.pos.y, r.pos.y + r.size.y)};
    return (c.center - nearest).LengthSquared() < c.radius * c.radius;
}

/// Overlaps with the operands the other way round.
inline bool Overlaps(const Circle& c, const Rect& r) {
    return Overlaps(r, c);
}

} // namespace dral
