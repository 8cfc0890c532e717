#include "tabstrip/TabGeometry.h"

#include <algorithm>

#include "base/rounding.h"
#include "resources/ResourceIds.h"

namespace xcyh2 {

namespace {
// Style 0: tab pictures start 14 pixels left of their Left and overlap their neighbours.
constexpr TabStyleMetrics kStyle0{25, IDB_TAB_SKIN0, 108, 14, 0, 14, -24, -12, 6, 18};
// Style 1: rounded tabs with 5-pixel gaps.
constexpr TabStyleMetrics kStyle1{32, IDB_TAB_SKIN1, 200, 0, 5, 28, -20, -8, 7, 19};
}  // namespace

const TabStyleMetrics& MetricsOf(std::int32_t tabStyle) { return tabStyle == 1 ? kStyle1 : kStyle0; }

std::int32_t StripHeight(std::int32_t tabStyle, const DpiScale& scale) {
    return scale.Pixels(MetricsOf(tabStyle).stripHeight);
}

std::int32_t ComputeTabWidth(std::int32_t tabStyle, double areaWidth, std::int32_t tabCount,
                             std::int32_t lockedCount) {
    const auto& m = MetricsOf(tabStyle);
    std::int32_t w = m.fullWidth;
    if (lockedCount < tabCount) {
        double reserved = tabStyle == 1 ? 5.0 * tabCount : 14.0;
        double free = areaWidth - static_cast<double>(m.fullWidth) * lockedCount - reserved;
        w = RoundHalfEven(free / (tabCount - lockedCount));
    }
    return std::clamp(w, m.minWidth, m.fullWidth);
}

void LayoutTabs(std::int32_t tabStyle, std::int32_t sharedWidth, std::vector<TabBox>& tabs) {
    const auto& m = MetricsOf(tabStyle);
    std::int32_t x = m.firstLeft;
    for (auto& tab : tabs) {
        tab.left = x;
        tab.width = tab.lockSize ? m.fullWidth : sharedWidth;
        x += tab.width + m.gap;
    }
}

TabBox ScaleBox(const TabBox& tab, const DpiScale& scale) {
    const EdgeRect edges = scale.Rect({tab.left, 0, tab.left + tab.width, 0});
    return {edges.left, edges.Width(), tab.lockSize, tab.hideButton};
}

EdgeRect CloseBox(std::int32_t tabStyle, const TabBox& tab, const DpiScale& scale) {
    // The glyph fills the box; the hit test also takes its right and bottom edges.
    const auto& m = MetricsOf(tabStyle);
    const std::int32_t x = tab.left + tab.width + m.closeX0;
    return scale.Rect({x, m.closeY0, x + m.closeX1 - m.closeX0, m.closeY1});
}

HitResult HitTest(std::int32_t tabStyle, const StripExtent& strip, const std::vector<TabBox>& tabs, double x,
                  double y, const DpiScale& scale) {
    if (x < 0 || x > strip.width || y < 0 || y > scale.Pixels(kHitTestHeight)) return {kOutside, false};
    if (x > strip.width - strip.rightSize || x < strip.leftSize) return {kInMargin, false};
    if (tabs.empty()) return {kNoTab, false};
    double u = x - strip.leftSize;
    // The first tab's slanted left edge in style 0, also applied in style 1.
    if (u <= scale.Pixels(14)) return {0, false};
    for (std::size_t i = 0; i < tabs.size(); ++i) {
        const TabBox t = ScaleBox(tabs[i], scale);
        if (t.left <= u && u <= t.left + t.width) {
            const EdgeRect close = CloseBox(tabStyle, tabs[i], scale);
            bool onClose = !t.hideButton && u >= close.left && u <= close.right && y >= close.top && y <= close.bottom;
            return {static_cast<std::int32_t>(i), onClose};
        }
    }
    return {kNoTab, false};
}

std::int32_t SelectionAfterRemove(std::int32_t selected, std::int32_t removed) {
    if (removed == selected) return 0;
    if (selected > removed) return selected - 1;
    return selected;
}

std::int32_t SelectionAfterInsert(std::int32_t selected, std::int32_t inserted, std::int32_t countBefore) {
    if (selected < 0 || selected > countBefore + 1) return 0;
    if (selected < countBefore && inserted >= 0 && inserted <= selected) return selected + 1;
    return selected;
}

}  // namespace xcyh2
