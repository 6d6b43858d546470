// Test support: fills a sprite pixel by pixel from a function of the position.
#pragma once

#include <functional>

#include "engine/sprite.h"

namespace dral::testing {

inline void Paint(Sprite* sprite, const std::function<Pixel(int32_t x, int32_t y)>& colour) {
    for (int32_t y = 0; y < sprite->height; ++y)
        for (int32_t x = 0; x < sprite->width; ++x)
            sprite->pixels[y * sprite->width + x] = colour(x, y);
}

} // namespace dral::testing
