// Sprite sizes whose byte count does not fit the address space, as on the 32-bit build: they are
// refused up front, so no sprite owns a buffer shorter than its size.
#include <gtest/gtest.h>

#include "engine/sprite.h"

namespace dral {
namespace {

TEST(SpriteSizeTest, A65536By65536SpriteIsRefusedWhereItCannotBeAddressed) {
    size_t count = 0;
    const bool fits = PixelCount(65536, 65536, count);
    if constexpr (sizeof(size_t) == 4) {
        // The count wraps to 0 in 32 bits; 32768 x 32768 fits as a count but not in bytes.
        EXPECT_FALSE(fits);
        EXPECT_FALSE(PixelCount(32768, 32768, count));
        EXPECT_EQ(AllocatePixels(65536, 65536), nullptr);

        Sprite sprite(65536, 65536);
        EXPECT_EQ(sprite.pixels, nullptr);
        EXPECT_EQ(sprite.width, 0);
        EXPECT_EQ(sprite.height, 0);
        EXPECT_FALSE(sprite.SetPixel(65535, 65535, Pixel(1, 2, 3, 4)));
        EXPECT_FALSE(sprite.SetPixel(0, 0, Pixel(1, 2, 3, 4)));
    } else {
        EXPECT_TRUE(fits);
        EXPECT_EQ(count, size_t(65536) * 65536);
    }
}

} // namespace
} // namespace dral
