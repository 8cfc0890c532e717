// The strip on denser screens: tabs, pictures, captions and close buttons at 120 to 200 %, laid
// out without gaps, within a pixel of their 96-DPI sizes scaled, and hit where they are drawn.
#include <gtest/gtest.h>

#include <cmath>

#include "tabstrip/TabGeometry.h"
#include "tabstrip/TabPaintPlan.h"

namespace xcyh2 {
namespace {

TEST(TabScale, PiecesTouchKeepTheirScaledSizesAndAreHitWhereDrawn) {
    for (int dpi : {96, 120, 144, 168, 192}) {
        const DpiScale scale(dpi);
        const auto at = [dpi](double pixels96) { return pixels96 * dpi / 96.0; };
        for (int style : {0, 1}) {
            SCOPED_TRACE(testing::Message() << dpi << " DPI, style " << style);
            const auto& m = MetricsOf(style);
            EXPECT_NEAR(StripHeight(style, scale), at(m.stripHeight), 1.0);

            // Odd widths put edges on fractions; the second tab is locked at the full width.
            const int shared96 = 71;
            std::vector<TabBox> tabs(5);
            tabs[1].lockSize = true;
            tabs[3].hideButton = true;
            LayoutTabs(style, shared96, tabs);
            const StripExtent strip{scale.Pixels(1500), scale.Pixels(10), scale.Pixels(3)};
            for (std::size_t i = 0; i < tabs.size(); ++i) {
                const TabBox t = ScaleBox(tabs[i], scale);
                EXPECT_NEAR(t.width, at(tabs[i].width), 1.0) << i;
                if (i + 1 < tabs.size()) {
                    // Style 0 tabs touch; style 1 keeps its gap, never closed, never overlapping.
                    const int gap = ScaleBox(tabs[i + 1], scale).left - (t.left + t.width);
                    if (style == 0) {
                        EXPECT_EQ(gap, 0) << i;
                    } else {
                        EXPECT_TRUE(gap > 0 && std::abs(gap - at(m.gap)) <= 1.0) << i << ": " << gap;
                    }
                }
            }

            // Every box the painting uses is its 96-DPI box scaled, within a pixel.
            const auto ops96 = PlanTabs(style, tabs, 2, {4, 1});
            const auto ops = PlanTabs(style, tabs, 2, {4, 1}, scale);
            ASSERT_EQ(ops.size(), tabs.size());
            const auto expectScaled = [&](const PaintRect& r, const PaintRect& r96, const char* what, int index) {
                EXPECT_NEAR(r.x, at(r96.x), 1.0) << what << " " << index;
                EXPECT_NEAR(r.width, at(r96.width), 1.0) << what << " " << index;
                EXPECT_NEAR(r.height, at(r96.height), 1.0) << what << " " << index;
            };
            for (std::size_t k = 0; k < ops.size(); ++k) {
                const auto& op = ops[k];
                const TabBox t = ScaleBox(tabs[static_cast<std::size_t>(op.index)], scale);
                const int right = t.left + t.width;
                expectScaled(op.picture, ops96[k].picture, "picture", op.index);
                expectScaled(op.caption, ops96[k].caption, "caption", op.index);
                expectScaled({op.buttonX, op.buttonY, op.buttonWidth, op.buttonHeight},
                             {ops96[k].buttonX, ops96[k].buttonY, kGlyphSize, kGlyphSize}, "close button", op.index);
                // The picture ends on its tab's edge, and fits the strip.
                EXPECT_EQ(op.picture.x + op.picture.width, right) << op.index;
                EXPECT_LE(op.picture.height, StripHeight(style, scale));

                // A press in the tab's middle hits its body; its last column is still the tab's,
                // the next one the next tab's (style 0) or the gap (style 1).
                const double y = op.buttonY + op.buttonHeight / 2.0;
                const double left = strip.leftSize;
                EXPECT_EQ(HitTest(style, strip, tabs, left + t.left + t.width / 2, y, scale),
                          (HitResult{op.index, false})) << op.index;
                EXPECT_EQ(HitTest(style, strip, tabs, left + right, 1, scale).index, op.index);
                const int next = op.index + 1 < 5 ? (style == 0 ? op.index + 1 : kNoTab) : kNoTab;
                EXPECT_EQ(HitTest(style, strip, tabs, left + right + 1, 1, scale).index, next) << op.index;
                if (!op.closeButton) continue;
                EXPECT_GE(op.buttonX, t.left);
                EXPECT_LE(op.buttonX + op.buttonWidth, right);
                EXPECT_LE(op.buttonY + op.buttonHeight, op.picture.height);
                // The drawn glyph is the hit box: its corners hit the close button, beyond them not.
                const double x0 = strip.leftSize + op.buttonX, x1 = x0 + op.buttonWidth - 1;
                const double y0 = op.buttonY, y1 = y0 + op.buttonHeight - 1;
                for (double x : {x0, x1})
                    for (double yy : {y0, y1})
                        EXPECT_EQ(HitTest(style, strip, tabs, x, yy, scale), (HitResult{op.index, true}))
                            << op.index << " at " << x << "," << yy;
                EXPECT_FALSE(HitTest(style, strip, tabs, x0 - 1, y0, scale).onClose) << op.index;
                EXPECT_FALSE(HitTest(style, strip, tabs, x0, y1 + 2, scale).onClose) << op.index;
            }
            // Below the hit height is outside, whatever the style's own height.
            EXPECT_EQ(HitTest(style, strip, tabs, strip.leftSize + 40, at(kHitTestHeight) + 1, scale).index, kOutside);
            EXPECT_EQ(HitTest(style, strip, tabs, strip.leftSize + 40, at(kHitTestHeight) - 1, scale).index, 0);
        }
    }
}

}  // namespace
}  // namespace xcyh2
