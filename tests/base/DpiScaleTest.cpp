// One window's scale: lengths, twips and rectangles at the DPIs players' screens run at.
#include <gtest/gtest.h>

#include "base/DpiScale.h"
#include "base/twips.h"

namespace xcyh2 {
namespace {

TEST(DpiScale, ScalesLengthsTwipsAndRowsWithoutGaps) {
    // dpi, per cent; 96-DPI lengths 32, 25, 14, 5 and 495 twips in this window's pixels
    // (halves to even: 17.5 -> 18, 24.5 -> 24, 49.5 -> 50)
    const struct {
        int dpi, percent, px32, px25, px14, px5, twips495;
    } cases[] = {
        {96, 100, 32, 25, 14, 5, 33},
        {120, 125, 40, 31, 18, 6, 41},
        {144, 150, 48, 38, 21, 8, 50},
        {168, 175, 56, 44, 24, 9, 58},
        {192, 200, 64, 50, 28, 10, 66},
    };
    // A row of frame pieces that touch at 96 DPI (odd widths, so edges fall on halves).
    const int widths[] = {14, 1, 13, 7, 24, 24, 25, 43, 3, 5, 9, 11, 2, 1, 1, 17};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dpi);
        DpiScale scale(c.dpi);
        EXPECT_EQ(scale.Percent(), c.percent);
        EXPECT_EQ(scale.Pixels(32), c.px32);
        EXPECT_EQ(scale.Pixels(25), c.px25);
        EXPECT_EQ(scale.Pixels(14), c.px14);
        EXPECT_EQ(scale.Pixels(5), c.px5);
        EXPECT_EQ(scale.TwipsToPixels(495), c.twips495);
        EXPECT_EQ(scale.TwipsToPixels(scale.TwipsPerPixel() * 37), 37);
        for (int px : {0, 1, 33, 363, 1920}) EXPECT_EQ(scale.TwipsToPixels(scale.PixelsToTwips(px)), px) << px;

        for (int top : {0, 7}) {
            int left = 3;
            EdgeRect previous{};
            for (int w : widths) {
                // The same row in pixels and in twips scales to the same device pixels.
                EdgeRect piece = scale.Rect({left, top, left + w, top + 30});
                EXPECT_EQ(scale.TwipsRect({left * 15, top * 15, (left + w) * 15, (top + 30) * 15}), piece);
                if (left != 3) {
                    EXPECT_EQ(piece.left, previous.right) << "piece at " << left;
                }
                EXPECT_GE(piece.Width(), 0);
                EXPECT_EQ(piece.top, scale.Pixels(top));
                previous = piece;
                left += w;
            }
            EXPECT_EQ(previous.right, scale.Pixels(left));
        }
    }
    // At 96 DPI nothing changes: the twips helper and the scale agree everywhere.
    DpiScale base(96);
    for (int twips = -50; twips <= 20000; ++twips) ASSERT_EQ(base.TwipsToPixels(twips), TwipsToPixels(twips)) << twips;
    for (int px = -5; px <= 4000; ++px) ASSERT_EQ(base.PixelsToTwips(px), PixelsToTwips(px)) << px;
}

TEST(DpiScale, ClampsToTheSupportedRange) {
    // reported dpi, dpi used, a 100-pixel length
    const struct {
        int reported, used, px100;
    } cases[] = {
        {72, 96, 100}, {95, 96, 100}, {0, 96, 100}, {-120, 96, 100}, {97, 97, 101},
        {384, 384, 400}, {385, 384, 400}, {480, 384, 400}, {1 << 30, 384, 400},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reported);
        DpiScale scale(c.reported);
        EXPECT_EQ(scale.Dpi(), c.used);
        EXPECT_EQ(scale.Pixels(100), c.px100);
    }
}

TEST(DpiScale, DrawsFromTheNearestArtSetAtOrAbove) {
    const struct {
        int dpi, set;
    } cases[] = {
        {72, 100}, {96, 100}, {97, 150}, {120, 150}, {144, 150}, {145, 200},
        {168, 200}, {192, 200}, {193, 200}, {288, 200}, {480, 200},
    };
    for (const auto& c : cases) EXPECT_EQ(DpiScale(c.dpi).ArtSet(), c.set) << c.dpi;
}

}  // namespace
}  // namespace xcyh2
