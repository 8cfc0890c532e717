// Tab widths, layout, hit testing, selection rules and the painting plan of the strip.
#include <gtest/gtest.h>

#include "tabstrip/TabGeometry.h"
#include "tabstrip/TabPaintPlan.h"

namespace xcyh2 {
namespace {

TEST(TabWidth, SharesTheAreaRoundsHalvesToEvenAndCaps) {
    EXPECT_EQ(ComputeTabWidth(0, 600, 3, 1), 108);  // 239 capped
    EXPECT_EQ(ComputeTabWidth(0, 300, 4, 0), 72);   // 71.5
    EXPECT_EQ(ComputeTabWidth(0, 298, 4, 0), 71);   // 71
    EXPECT_EQ(ComputeTabWidth(0, 294, 4, 0), 70);   // 70 exactly
    EXPECT_EQ(ComputeTabWidth(0, 296, 4, 0), 70);   // 70.5 -> 70
    EXPECT_EQ(ComputeTabWidth(1, 1000, 5, 0), 195);
    EXPECT_EQ(ComputeTabWidth(1, 1000, 2, 2), 200);  // all locked
    EXPECT_EQ(ComputeTabWidth(0, 10, 0, 0), 108);    // no tabs
    EXPECT_EQ(ComputeTabWidth(1, 1200, 4, 1), 200);  // (1200-200-20)/3 = 326 capped
    EXPECT_EQ(ComputeTabWidth(1, 700, 4, 1), 160);   // (700-200-20)/3
}

TEST(TabWidth, NeverDropsBelowThePictureEnds) {
    EXPECT_EQ(ComputeTabWidth(0, 100, 50, 0), 14);
    EXPECT_EQ(ComputeTabWidth(0, -500, 3, 0), 14);
    EXPECT_EQ(ComputeTabWidth(1, 100, 50, 0), 28);
    EXPECT_EQ(ComputeTabWidth(1, 0, 1, 0), 28);
}

TEST(TabLayout, PlacesTabsWithTheStyleGapAndLockedWidth) {
    std::vector<TabBox> tabs(3);
    tabs[1].lockSize = true;
    LayoutTabs(0, 80, tabs);
    EXPECT_EQ(tabs[0].left, 14);
    EXPECT_EQ(tabs[1].left, 94);
    EXPECT_EQ(tabs[1].width, 108);
    EXPECT_EQ(tabs[2].left, 202);
    LayoutTabs(1, 150, tabs);
    EXPECT_EQ(tabs[0].left, 0);
    EXPECT_EQ(tabs[1].left, 155);
    EXPECT_EQ(tabs[1].width, 200);
    EXPECT_EQ(tabs[2].left, 360);
    EXPECT_EQ(tabs[2].width, 150);
}

std::vector<TabBox> TwoStyle0Tabs() {
    std::vector<TabBox> tabs(2);
    LayoutTabs(0, 108, tabs);  // Left 14 and 122
    return tabs;
}

TEST(TabHitTest, IndexCodesAtTheBoundaries) {
    auto tabs = TwoStyle0Tabs();
    StripExtent strip{500, 40, 20};
    EXPECT_EQ(HitTest(0, strip, tabs, 50, 10).index, 0);   // u = 10, the slanted edge
    EXPECT_EQ(HitTest(0, strip, tabs, 30, 10).index, kInMargin);
    EXPECT_EQ(HitTest(0, strip, tabs, 40, 10).index, 0);   // the margin ends before 40
    EXPECT_EQ(HitTest(0, strip, tabs, 481, 10).index, kInMargin);
    EXPECT_EQ(HitTest(0, strip, tabs, 480, 10).index, kNoTab);
    EXPECT_EQ(HitTest(0, strip, tabs, 40 + 122, 10).index, 0);  // boundary: the lower index
    EXPECT_EQ(HitTest(0, strip, tabs, 40 + 123, 10).index, 1);
    EXPECT_EQ(HitTest(0, strip, tabs, 40 + 231, 10).index, kNoTab);
    EXPECT_EQ(HitTest(0, strip, tabs, -1, 10).index, kOutside);
    EXPECT_EQ(HitTest(0, strip, tabs, 501, 10).index, kOutside);
    EXPECT_EQ(HitTest(0, strip, tabs, 100, 25).index, 0);
    EXPECT_EQ(HitTest(0, strip, tabs, 100, 25.5).index, kOutside);
    EXPECT_EQ(HitTest(1, strip, {}, 100, 28).index, kOutside);  // style 1 is 32 high, tested to 25
    EXPECT_EQ(HitTest(1, strip, {}, 100, 10).index, kNoTab);
}

TEST(TabHitTest, CloseButtonBoxesPerStyle) {
    auto tabs = TwoStyle0Tabs();
    StripExtent strip{500, 0, 0};
    // Style 0, tab 0 right edge 122: x -24..-12 -> 98..110, y 6..18.
    EXPECT_EQ(HitTest(0, strip, tabs, 98, 6), (HitResult{0, true}));
    EXPECT_EQ(HitTest(0, strip, tabs, 110, 18), (HitResult{0, true}));
    EXPECT_EQ(HitTest(0, strip, tabs, 97, 10), (HitResult{0, false}));
    EXPECT_EQ(HitTest(0, strip, tabs, 105, 19), (HitResult{0, false}));
    tabs[0].hideButton = true;
    EXPECT_EQ(HitTest(0, strip, tabs, 100, 10), (HitResult{0, false}));

    std::vector<TabBox> round(2);
    LayoutTabs(1, 100, round);  // 0..100, 105..205
    EXPECT_EQ(HitTest(1, strip, round, 80, 7), (HitResult{0, true}));
    EXPECT_EQ(HitTest(1, strip, round, 92, 19), (HitResult{0, true}));
    EXPECT_EQ(HitTest(1, strip, round, 93, 10), (HitResult{0, false}));
    EXPECT_EQ(HitTest(1, strip, round, 102, 10), (HitResult{kNoTab, false}));  // in the gap
    EXPECT_EQ(HitTest(1, strip, round, 190, 12), (HitResult{1, true}));
}

TEST(TabSelection, AfterRemovalTheSameTabOrTheFirst) {
    // A B C D with C (2) selected.
    EXPECT_EQ(SelectionAfterRemove(2, 2), 0);
    EXPECT_EQ(SelectionAfterRemove(2, 0), 1);
    EXPECT_EQ(SelectionAfterRemove(2, 3), 2);
    EXPECT_EQ(SelectionAfterRemove(0, 0), 0);  // the only tab
}

TEST(TabSelection, AfterInsertionTheSameTab) {
    EXPECT_EQ(SelectionAfterInsert(-1, 0, 0), 0);  // first tab of a new strip
    EXPECT_EQ(SelectionAfterInsert(0, 0, 0), 0);   // after the only tab was closed
    EXPECT_EQ(SelectionAfterInsert(2, 3, 3), 2);   // appended
    EXPECT_EQ(SelectionAfterInsert(2, 2, 3), 3);   // inserted before the selected tab
    EXPECT_EQ(SelectionAfterInsert(2, 0, 3), 3);
    EXPECT_EQ(SelectionAfterInsert(1, 2, 3), 1);
}

TEST(TabPaintPlan, OrderIsRightToLeftThenTheSelected) {
    std::vector<TabBox> tabs(4);
    LayoutTabs(0, 100, tabs);
    auto ops = PlanTabs(0, tabs, 1, {-1, 0});
    std::vector<int> order;
    for (auto& op : ops) order.push_back(op.index);
    EXPECT_EQ(order, (std::vector<int>{3, 2, 0, 1}));
    EXPECT_TRUE(ops.back().selected);
    EXPECT_EQ(PlanTabs(0, tabs, 4, {-1, 0}).size(), 4u);  // out of range: nothing selected
    EXPECT_EQ(PlanTabs(0, tabs, 4, {-1, 0}).front().index, 3);
}

TEST(TabPaintPlan, PiecesGlyphsAndBoxesStyle0) {
    std::vector<TabBox> tabs(3);
    LayoutTabs(0, 100, tabs);  // Left 14, 114, 214
    tabs[2].hideButton = true;
    auto ops = PlanTabs(0, tabs, 0, {1, 2});
    const auto& t2 = ops[0];
    const auto& t1 = ops[1];
    const auto& t0 = ops[2];
    EXPECT_EQ(t1.picture, (PaintRect{100, 0, 114, 25}));
    EXPECT_EQ(t1.sourceX, 123);  // hovered
    EXPECT_EQ(t1.glyphX, 403);   // pressed
    EXPECT_EQ(t1.caption, (PaintRect{114, 0, 62, 25}));
    EXPECT_EQ(t1.buttonX, 190);
    EXPECT_EQ(t1.buttonY, 6);
    EXPECT_EQ(t2.sourceX, 1);
    EXPECT_FALSE(t2.closeButton);
    EXPECT_EQ(t2.caption, (PaintRect{214, 0, 86, 25}));
    EXPECT_EQ(t0.sourceX, 245);
    EXPECT_EQ(t0.glyphX, 367);
    EXPECT_EQ(t0.caption, (PaintRect{14, 0, 74, 25}));
    EXPECT_EQ(t0.picture.x, 0);  // the first picture starts at the tab area's edge

    // The selected tab keeps its piece when hovered, and shows the hover glyph.
    auto hovered = PlanTabs(0, tabs, 0, {0, 1});
    EXPECT_EQ(hovered.back().sourceX, 245);
    EXPECT_EQ(hovered.back().glyphX, 391);
}

TEST(TabPaintPlan, PiecesGlyphsAndBoxesStyle1) {
    std::vector<TabBox> tabs(2);
    LayoutTabs(1, 150, tabs);  // 0, 155
    tabs[0].hideButton = true;
    auto ops = PlanTabs(1, tabs, 1, {0, 0});
    EXPECT_EQ(ops[0].picture, (PaintRect{0, 0, 150, 26}));
    EXPECT_EQ(ops[0].sourceX, 125);
    EXPECT_EQ(ops[0].caption, (PaintRect{12, 0, 142, 26}));
    EXPECT_EQ(ops[1].sourceX, 249);
    EXPECT_EQ(ops[1].glyphX, 373);
    EXPECT_EQ(ops[1].caption, (PaintRect{167, 0, 122, 26}));
    EXPECT_EQ(ops[1].buttonX, 285);
    EXPECT_EQ(ops[1].buttonY, 7);
}

TEST(TabCaption, CentredWhenItFitsElseTopComputed) {
    EXPECT_TRUE(PlaceCaption({10, 0, 60, 25}, 60, 12).fits);
    auto p = PlaceCaption({10, 0, 59, 25}, 60, 12);
    EXPECT_FALSE(p.fits);
    EXPECT_EQ(p.top, 6);  // 6.5 -> 6
    EXPECT_EQ(PlaceCaption({0, 3, 10, 26}, 60, 13).top, 10);  // 9.5 -> 10
}

}  // namespace
}  // namespace xcyh2
