// The 32-bit RGBA colour: bytes r, g, b, a in memory, readable as one little-endian word,
// plus the engine's palette of named colours.
#pragma once

#include <cstdint>

namespace dral {

struct Pixel {
    union {
        struct {
            uint8_t r, g, b, a;
        };
        uint32_t packed;
    };

    constexpr Pixel() : r(0), g(0), b(0), a(255) {}
    constexpr Pixel(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha)
        : r(red), g(green), b(blue), a(alpha) {}
    constexpr explicit Pixel(uint32_t value) : packed(value) {}

    bool operator==(const Pixel& other) const { return packed == other.packed; }
    bool operator!=(const Pixel& other) const { return packed != other.packed; }
};
static_assert(sizeof(Pixel) == 4, "a Pixel array must be an RGBA8 byte stream");

// Each channel is value * 255 truncated to an integer, keeping the low 8 bits: values outside 0..1
// wrap instead of clamping.
Pixel PixelFromFloats(float red, float green, float blue, float alpha);

inline constexpr Pixel Black{0, 0, 0, 255}, Transparent{0, 0, 0, 0}, White{255, 255, 255, 255},
    LightGrey{192, 192, 192, 255}, Grey{128, 128, 128, 255}, DarkGrey{64, 64, 64, 255},
    Red{255, 0, 0, 255}, DarkRed{128, 0, 0, 255}, VeryDarkRed{64, 0, 0, 255},
    Yellow{255, 255, 0, 255}, DarkYellow{128, 128, 0, 255}, VeryDarkYellow{64, 64, 0, 255},
    Green{0, 255, 0, 255}, DarkGreen{0, 128, 0, 255}, VeryDarkGreen{0, 64, 0, 255},
    Cyan{0, 255, 255, 255}, DarkCyan{0, 128, 128, 255}, VeryDarkCyan{0, 64, 64, 255},
    Blue{0, 0, 255, 255}, DarkBlue{0, 0, 128, 255}, VeryDarkBlue{0, 0, 64, 255},
    Magenta{255, 0, 255, 255}, DarkMagenta{128, 0, 128, 255}, VeryDarkMagenta{64, 0, 64, 255};

} // namespace dral
