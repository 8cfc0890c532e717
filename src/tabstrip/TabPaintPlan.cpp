#include "tabstrip/TabPaintPlan.h"

#include "base/rounding.h"

namespace xcyh2 {

namespace {
struct SkinLayout {
    std::int32_t tabHeight, pieceWidth;
    std::int32_t normalX, hoverX, selectedX;
    std::int32_t glyphNormal, glyphSelected, glyphHover, glyphPressed;
    std::int32_t columnHeight;
};
constexpr SkinLayout kSkin0{25, 122, 1, 123, 245, 379, 367, 391, 403, 25};
constexpr SkinLayout kSkin1{26, 124, 1, 125, 249, 385, 373, 397, 409, 28};
const SkinLayout& SkinOf(std::int32_t style) { return style == 1 ? kSkin1 : kSkin0; }

PaintRect Scaled(const PaintRect& r, const DpiScale& scale) {
    const EdgeRect e = scale.Rect({r.x, r.y, r.x + r.width, r.y + r.height});
    return {e.left, e.top, e.Width(), e.Height()};
}

TabPaintOp PlanOne(std::int32_t style, const TabBox& t, std::int32_t i, bool selected, HoverInfo hover,
                   const DpiScale& scale) {
    const auto& s = SkinOf(style);
    const std::int32_t L = t.left, Wd = t.width;
    TabPaintOp op{};
    op.index = i;
    op.selected = selected;
    op.pieceWidth = s.pieceWidth;
    op.pieceHeight = s.tabHeight;
    op.pictureEnd = scale.Pixels(kPieceEnd);
    op.picture = Scaled(style == 1 ? PaintRect{L, 0, Wd, s.tabHeight}
                                   : PaintRect{L - kPieceEnd, 0, Wd + kPieceEnd, s.tabHeight},
                        scale);
    bool hovered = i == hover.index;
    op.sourceX = selected ? s.selectedX : (hovered ? s.hoverX : s.normalX);
    op.closeButton = !t.hideButton;
    if (style == 1) {
        op.caption = {L + 12, 0, Wd - (op.closeButton ? 28 : 8), s.tabHeight};
    } else if (selected) {
        op.caption = {L, 0, Wd - 26, s.tabHeight};
    } else {
        op.caption = {L, 0, Wd - (op.closeButton ? 38 : 14), s.tabHeight};
    }
    op.caption = Scaled(op.caption, scale);
    const EdgeRect button = CloseBox(style, t, scale);
    op.buttonX = button.left;
    op.buttonY = button.top;
    op.buttonWidth = button.Width();
    op.buttonHeight = button.Height();
    op.glyphX = selected ? s.glyphSelected : s.glyphNormal;
    if (hovered && hover.state == 1) op.glyphX = s.glyphHover;
    if (hovered && hover.state == 2) op.glyphX = s.glyphPressed;
    return op;
}
}  // namespace

std::vector<TabPaintOp> PlanTabs(std::int32_t tabStyle, const std::vector<TabBox>& tabs, std::int32_t selected,
                                 HoverInfo hover, const DpiScale& scale) {
    std::vector<TabPaintOp> ops;
    ops.reserve(tabs.size());
    const auto n = static_cast<std::int32_t>(tabs.size());
    for (std::int32_t i = n - 1; i >= 0; --i)
        if (i != selected) ops.push_back(PlanOne(tabStyle, tabs[static_cast<std::size_t>(i)], i, false, hover, scale));
    if (selected >= 0 && selected < n)
        ops.push_back(PlanOne(tabStyle, tabs[static_cast<std::size_t>(selected)], selected, true, hover, scale));
    return ops;
}

std::int32_t SkinColumnHeight(std::int32_t tabStyle) { return SkinOf(tabStyle).columnHeight; }

CaptionPlacement PlaceCaption(const PaintRect& box, std::int32_t textWidth, std::int32_t textHeight) {
    if (box.width < textWidth) return {false, RoundHalfEven((box.height - textHeight) / 2.0 + box.y)};
    return {true, box.y};
}

}  // namespace xcyh2
