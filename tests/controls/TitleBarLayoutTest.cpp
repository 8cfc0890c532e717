// The title bar's plans: the tiles of a wide bar, and a printed frame laid out pixel by pixel.
#include <gtest/gtest.h>

#include <vector>

#include "controls/TitleBarLayout.h"

namespace xcyh2 {
namespace {

TEST(TitleBar, TilesTheBarThenDrawsItsEnds) {
    // 1033 pixels: tiles at 300, 600, ... 15600 (52 of them), the left end, the right end.
    auto pieces = BarPieces(15495);
    ASSERT_EQ(pieces.size(), 54u);
    for (int i = 0; i < 52; ++i)
        EXPECT_EQ(pieces[i], (SkinPiece{{300, 0, 300, 545}, {300 * (i + 1), 0, 300, 545}})) << i;
    EXPECT_EQ(pieces[52], (SkinPiece{{0, 0, 545, 545}, {0, 0, 545, 545}}));
    EXPECT_EQ(pieces[53], (SkinPiece{{410, 0, 1000, 545}, {14495, 0, 1000, 545}}));
    // The right end reaches the bar's right edge in pixels too, from the skin's right edge.
    PixelCopy right;
    ASSERT_TRUE(ToPixels(pieces[53], 94, 85, right));
    EXPECT_EQ(right.targetX + right.width, 1033);
    EXPECT_EQ(right.sourceX + right.width, 94);
}

// Paints the plan into a grid: each cell says which skin pixel covers it (-1: none).
struct Grid {
    int width, height;
    std::vector<int> cells;  // skin pixel as y * 1000 + x
    Grid(int w, int h) : width(w), height(h), cells(w * h, -1) {}
    int At(int x, int y) const { return cells[y * width + x]; }
    void Paint(const std::vector<SkinPiece>& pieces) {
        for (const auto& piece : pieces) {
            PixelCopy c;
            if (!ToPixels(piece, 94, 85, c)) continue;
            for (int y = 0; y < c.height; ++y)
                for (int x = 0; x < c.width; ++x) {
                    int tx = c.targetX + x, ty = c.targetY + y;
                    if (tx >= 0 && ty >= 0 && tx < width && ty < height)
                        cells[ty * width + tx] = (c.sourceY + y) * 1000 + c.sourceX + x;
                }
        }
    }
};

TEST(TitleBar, PrintsA4PixelFrameFromTheSkinsEdges) {
    Grid form(305, 200);
    form.Paint(FramePieces(305 * 15, 200 * 15));
    auto skinX = [&](int x, int y) { return form.At(x, y) % 1000; };
    auto skinY = [&](int x, int y) { return form.At(x, y) / 1000; };
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 305; ++x) {
            bool side = y >= 20 && (x < 4 || x >= 301);
            bool bottom = y >= 196;
            ASSERT_EQ(form.At(x, y) >= 0, side || bottom) << x << "," << y;
            // The bottom rows show the skin's last 4 rows, the sides its first and last 4 columns.
            int want = bottom ? 81 + (y - 196) : x < 4 ? x : 90 + (x - 301);
            int got = bottom ? skinY(x, y) : skinX(x, y);
            if (side || bottom) {
                ASSERT_EQ(got, want) << x << "," << y;
            }
        }
    // The corner pieces are the skin's own bottom corners.
    EXPECT_EQ(form.At(0, 199), 84 * 1000 + 0);
    EXPECT_EQ(form.At(304, 199), 84 * 1000 + 93);
}

TEST(TitleBar, PiecesOutsideTheSkinAreCutOff) {
    PixelCopy c;
    EXPECT_FALSE(ToPixels({{1410, 0, 300, 500}, {0, 0, 300, 500}}, 94, 85, c));
    ASSERT_TRUE(ToPixels({{-30, 1200, 300, 500}, {0, 0, 300, 500}}, 94, 85, c));
    EXPECT_EQ(c, (PixelCopy{0, 80, 2, 0, 18, 5}));
    // A bar without its picture draws nothing.
    EXPECT_FALSE(ToPixels(BarPieces(3000)[0], 0, 0, c));
}

}  // namespace
}  // namespace xcyh2
