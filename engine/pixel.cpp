// Float-to-channel conversion of PixelFromFloats.
#include "engine/pixel.h"

namespace dral {

static uint8_t ChannelFromFloat(float value) {
    // Through a 64-bit integer so that out-of-range values wrap like the design's truncation
    // instead of being undefined behaviour of a narrowing float-to-int conversion.
    return static_cast<uint8_t>(static_cast<int64_t>(value * 255.0f));
}

Pixel PixelFromFloats(float red, float green, float blue, float alpha) {
    return Pixel(ChannelFromFloat(red), ChannelFromFloat(green), ChannelFromFloat(blue),
                 ChannelFromFloat(alpha));
}

} // namespace dral
