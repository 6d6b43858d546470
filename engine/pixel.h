// The 32-bit RGBA colour: bytes r, g, b, a in memory, readable as one little-endian word,
// plus the engine's palette of named colours.
#pragma once

#include <cstdint>

namespace dral {

/// A 32-bit RGBA colour: bytes r, g, b, a in memory, or all four as one little-endian word.
struct Pixel {
    union {
        struct {
            uint8_t r, g, b, a;
        };
        uint32_t packed;
    };

    /// Opaque black.
    constexpr Pixel() : r(0), g(0), b(0), a(255) {}
    /// The colour of the given channels, each 0–255; alpha 255 is opaque.
    constexpr Pixel(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha)
        : r(red), g(green), b(blue), a(alpha) {}
    /// The colour whose bytes, in memory order r, g, b, a, make up `value` (little-endian).
    constexpr explicit Pixel(uint32_t value) : packed(value) {}

    /// True when all four channels are equal.
    bool operator==(const Pixel& other) const { return packed == other.packed; }
    /// True when any channel differs.
    bool operator!=(const Pixel& other) const { return packed != other.packed; }
};
static_assert(sizeof(Pixel) == 4, "a Pixel array must be an RGBA8 byte stream");

/// The colour of four channels given as 0–1 floats. Each is value * 255 truncated to an integer,
/// keeping the low 8 bits: values outside 0..1 wrap instead of clamping. Any thread.
Pixel PixelFromFloats(float red, float green, float blue, float alpha);

/// @name Named colours
/// The engine's palette, as (r, g, b, a): Transparent, and opaque black, white, greys and six
/// hues in three shades.
///@{
inline constexpr Pixel Black{0, 0, 0, 255};             ///< (0, 0, 0, 255)
inline constexpr Pixel Transparent{0, 0, 0, 0};         ///< (0, 0, 0, 0)
inline constexpr Pixel White{255, 255, 255, 255};       ///< (255, 255, 255, 255)
inline constexpr Pixel LightGrey{192, 192, 192, 255};   ///< (192, 192, 192, 255)
inline constexpr Pixel Grey{128, 128, 128, 255};        ///< (128, 128, 128, 255)
inline constexpr Pixel DarkGrey{64, 64, 64, 255};       ///< (64, 64, 64, 255)
inline constexpr Pixel Red{255, 0, 0, 255};             ///< (255, 0, 0, 255)
inline constexpr Pixel DarkRed{128, 0, 0, 255};         ///< (128, 0, 0, 255)
inline constexpr Pixel VeryDarkRed{64, 0, 0, 255};      ///< (64, 0, 0, 255)
inline constexpr Pixel Yellow{255, 255, 0, 255};        ///< (255, 255, 0, 255)
inline constexpr Pixel DarkYellow{128, 128, 0, 255};    ///< (128, 128, 0, 255)
inline constexpr Pixel VeryDarkYellow{64, 64, 0, 255};  ///< (64, 64, 0, 255)
inline constexpr Pixel Green{0, 255, 0, 255};           ///< (0, 255, 0, 255)
inline constexpr Pixel DarkGreen{0, 128, 0, 255};       ///< (0, 128, 0, 255)
inline constexpr Pixel VeryDarkGreen{0, 64, 0, 255};    ///< (0, 64, 0, 255)
inline constexpr Pixel Cyan{0, 255, 255, 255};          ///< (0, 255, 255, 255)
inline constexpr Pixel DarkCyan{0, 128, 128, 255};      ///< (0, 128, 128, 255)
inline constexpr Pixel VeryDarkCyan{0, 64, 64, 255};    ///< (0, 64, 64, 255)
inline constexpr Pixel Blue{0, 0, 255, 255};            ///< (0, 0, 255, 255)
inline constexpr Pixel DarkBlue{0, 0, 128, 255};        ///< (0, 0, 128, 255)
inline constexpr Pixel VeryDarkBlue{0, 0, 64, 255};     ///< (0, 0, 64, 255)
inline constexpr Pixel Magenta{255, 0, 255, 255};       ///< (255, 0, 255, 255)
inline constexpr Pixel DarkMagenta{128, 0, 128, 255};   ///< (128, 0, 128, 255)
inline constexpr Pixel VeryDarkMagenta{64, 0, 64, 255}; ///< (64, 0, 64, 255)
///@}

} // namespace dral
