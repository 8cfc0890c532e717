#include "tabstrip/KeyedArt.h"

#include <cstddef>

namespace xcyh2 {

namespace {
constexpr std::uint32_t kColour = 0x00FFFFFF;
// A filter reads the pixels touching the nearest one, diagonals too: the second ring of
// side neighbours reaches those.
constexpr int kRings = 2;
}  // namespace

void FillBesideArt(std::vector<std::uint32_t>& pixels, int width, int height, std::uint32_t transparent) {
    if (width <= 0 || height <= 0 || pixels.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return;
    transparent &= kColour;
    const auto at = [width](int x, int y) {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
    };
    for (int ring = 0; ring < kRings; ++ring) {
        // Each ring reads the pixels as the ring before left them.
        const std::vector<std::uint32_t> before = pixels;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                if ((before[at(x, y)] & kColour) != transparent) continue;
                unsigned b = 0, g = 0, r = 0, n = 0;
                const int neighbours[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
                for (const auto& p : neighbours) {
                    if (p[0] < 0 || p[0] >= width || p[1] < 0 || p[1] >= height) continue;
                    const std::uint32_t c = before[at(p[0], p[1])] & kColour;
                    if (c == transparent) continue;
                    b += c & 0xFF;
                    g += (c >> 8) & 0xFF;
                    r += (c >> 16) & 0xFF;
                    ++n;
                }
                if (n == 0) continue;
                std::uint32_t mean = (b + n / 2) / n | ((g + n / 2) / n) << 8 | ((r + n / 2) / n) << 16;
                // A mean that happens to be the transparent colour would stay transparent.
                if (mean == transparent) mean ^= 1;
                pixels[at(x, y)] = mean;
            }
    }
}

void TakeTransparency(std::vector<std::uint32_t>& colours, const std::vector<std::uint32_t>& keys,
                      std::uint32_t transparent) {
    transparent &= kColour;
    for (std::size_t i = 0; i < colours.size() && i < keys.size(); ++i) {
        if ((keys[i] & kColour) == transparent) colours[i] = transparent;
        // A filtered colour that came out as the transparent one must still be drawn.
        else if ((colours[i] & kColour) == transparent) colours[i] ^= 1;
    }
}

}  // namespace xcyh2
