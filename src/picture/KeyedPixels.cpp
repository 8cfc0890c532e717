#include "picture/KeyedPixels.h"

#include <algorithm>

namespace xcyh2 {
namespace {

// One premultiplied channel back to its own value at the pixel's alpha, rounded.
std::uint32_t Unpremultiply(std::uint32_t channel, std::uint32_t alpha) {
    return std::min<std::uint32_t>(255, (channel * 255 + alpha / 2) / alpha);
}

}  // namespace

void SnapToColourKey(std::uint32_t* pixels, std::size_t count, std::uint32_t key) {
    const std::uint32_t keyPixel = ((key & 0xFF) << 16) | (key & 0xFF00) | ((key >> 16) & 0xFF);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t p = pixels[i];
        const std::uint32_t alpha = p >> 24;
        if (alpha < 128) {
            pixels[i] = keyPixel;
            continue;
        }
        std::uint32_t r = Unpremultiply((p >> 16) & 0xFF, alpha);
        std::uint32_t g = Unpremultiply((p >> 8) & 0xFF, alpha);
        std::uint32_t b = Unpremultiply(p & 0xFF, alpha);
        std::uint32_t opaque = 0xFF000000u | (r << 16) | (g << 8) | b;
        // A kept pixel that happened to come out as the key would turn see-through: one step off.
        if ((opaque & 0xFFFFFF) == keyPixel) opaque ^= 1;
        pixels[i] = opaque;
    }
}

}  // namespace xcyh2
