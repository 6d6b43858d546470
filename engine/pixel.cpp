// Float-to-channel conversion of PixelFromFloats.
#include "engine/pixel.h"

#include <cmath>

namespace dral {

static uint8_t ChannelFromFloat(float value) {
    const float scaled = value * 255.0f;
    // Floats of magnitude 2^31 and above are multiples of 256, so their low 8 bits are 0; that
    // also answers beyond the 64-bit range, where the conversion would be undefined, and for
    // infinities. NaN has no integer part: 0 as well.
    constexpr float twoTo63 = 9223372036854775808.0f;
    if (!(std::fabs(scaled) < twoTo63)) return 0;
    // Through a 64-bit integer so that out-of-range values wrap like the design's truncation
    // instead of being undefined behaviour of a narrowing float-to-int conversion.
    return static_cast<uint8_t>(static_cast<int64_t>(scaled));
}

Pixel PixelFromFloats(float red, float green, float blue, float alpha) {
    return Pixel(ChannelFromFloat(red), ChannelFromFloat(green), ChannelFromFloat(blue),
                 ChannelFromFloat(alpha));
}

} // namespace dral
