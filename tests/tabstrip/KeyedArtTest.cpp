// Keyed art enlarged through a filter that blends neighbouring pixels, as the system's
// high-quality stretch does: no pixel that is drawn may carry any of the transparent colour.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "tabstrip/KeyedArt.h"

namespace xcyh2 {
namespace {

constexpr std::uint32_t kKey = 0x00FF00FF;

// Bilinear enlargement of w x h pixels (0x00RRGGBB) to W x H.
std::vector<std::uint32_t> Blend(const std::vector<std::uint32_t>& in, int w, int h, int W, int H) {
    std::vector<std::uint32_t> out;
    const auto at = [&](int x, int y) {
        return in[static_cast<std::size_t>(std::clamp(y, 0, h - 1) * w + std::clamp(x, 0, w - 1))];
    };
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const double sx = (x + 0.5) * w / W - 0.5, sy = (y + 0.5) * h / H - 0.5;
            const int x0 = static_cast<int>(std::floor(sx)), y0 = static_cast<int>(std::floor(sy));
            const double fx = sx - x0, fy = sy - y0;
            std::uint32_t pixel = 0;
            for (int shift : {0, 8, 16}) {
                const auto c = [&](int px, int py) { return static_cast<double>((at(px, py) >> shift) & 0xFF); };
                const double v = (c(x0, y0) * (1 - fx) + c(x0 + 1, y0) * fx) * (1 - fy) +
                                 (c(x0, y0 + 1) * (1 - fx) + c(x0 + 1, y0 + 1) * fx) * fy;
                pixel |= static_cast<std::uint32_t>(std::lround(v)) << shift;
            }
            out.push_back(pixel);
        }
    return out;
}

std::vector<std::uint32_t> Nearest(const std::vector<std::uint32_t>& in, int w, int h, int W, int H) {
    std::vector<std::uint32_t> out;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) out.push_back(in[static_cast<std::size_t>(y * h / H * w + x * w / W)]);
    return out;
}

TEST(KeyedArt, EnlargedArtCarriesNoTransparentColour) {
    // Two greens (no red at all) on the transparent magenta (all red).
    constexpr std::uint32_t a = 0x0000C800, b = 0x00009640, k = kKey;
    const int w = 6, h = 5;
    const std::vector<std::uint32_t> art = {k, k, k, k, k, k,  //
                                            k, a, a, b, k, k,  //
                                            k, a, b, b, b, k,  //
                                            k, k, a, k, k, k,  //
                                            k, k, k, k, k, k};
    for (double factor : {1.25, 1.5, 1.75, 2.0, 4.0}) {
        SCOPED_TRACE(factor);
        const int W = static_cast<int>(std::lround(w * factor)), H = static_cast<int>(std::lround(h * factor));
        std::vector<std::uint32_t> filled = art;
        FillBesideArt(filled, w, h, kKey);
        std::vector<std::uint32_t> shown = Blend(filled, w, h, W, H);
        const std::vector<std::uint32_t> keys = Nearest(art, w, h, W, H);
        TakeTransparency(shown, keys, kKey);
        int drawn = 0;
        for (std::uint32_t p : shown) {
            if (p == kKey) continue;
            ++drawn;
            EXPECT_EQ(p >> 16, 0u) << std::hex << p;
        }
        // Exactly the pixels whose nearest art pixel is drawn are drawn.
        EXPECT_EQ(drawn, W * H - static_cast<int>(std::count(keys.begin(), keys.end(), kKey)));
    }
}

}  // namespace
}  // namespace xcyh2
