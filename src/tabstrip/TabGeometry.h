// Tab strip geometry without windows: the two styles' constants, the shared tab width, the
// layout, the hit test and the selection rules. Widths and the layout are pixels at 96 DPI; a
// strip on a denser screen scales each tab edge on its own (ScaleBox), so tabs that touch at
// 96 DPI touch at every scale. Strip extents and pointer positions are the window's pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "base/DpiScale.h"

namespace xcyh2 {

struct TabStyleMetrics {
    std::int32_t stripHeight;
    int skinBitmap;           // resource id of the skin
    std::int32_t fullWidth;   // locked tabs, and the cap of the shared width
    std::int32_t firstLeft;
    std::int32_t gap;
    std::int32_t minWidth;    // floor of the shared width: the tab picture's two fixed ends
    std::int32_t closeX0, closeX1;  // close-button hit box, relative to Left + Width
    std::int32_t closeY0, closeY1;
};

// Style 0 (trapezoid tabs) or 1 (rounded tabs); any other value is read as 0.
const TabStyleMetrics& MetricsOf(std::int32_t tabStyle);

// Hit tests look at this height in both styles.
inline constexpr std::int32_t kHitTestHeight = 25;

// Index codes of the hit test besides tab positions.
inline constexpr std::int32_t kNoTab = -1;
inline constexpr std::int32_t kInMargin = -2;
inline constexpr std::int32_t kOutside = -3;

// The strip's height in the pixels of a window at that scale.
std::int32_t StripHeight(std::int32_t tabStyle, const DpiScale& scale);

// The width of every tab that is not size-locked, for a tab area of areaWidth pixels (at 96 DPI)
// holding tabCount tabs of which lockedCount are locked. Never below the style's minimum.
std::int32_t ComputeTabWidth(std::int32_t tabStyle, double areaWidth, std::int32_t tabCount,
                             std::int32_t lockedCount);

struct TabBox {
    std::int32_t left = 0;
    std::int32_t width = 0;
    bool lockSize = false;
    bool hideButton = false;
};

// Places the tabs left to right from the style's first Left.
void LayoutTabs(std::int32_t tabStyle, std::int32_t sharedWidth, std::vector<TabBox>& tabs);

// A tab laid out at 96 DPI, in the pixels of a window at a scale.
TabBox ScaleBox(const TabBox& tab, const DpiScale& scale);
// Where a tab's close button is drawn, in the window's pixels of the tab area. The hit test
// takes its right and bottom edges too.
EdgeRect CloseBox(std::int32_t tabStyle, const TabBox& tab, const DpiScale& scale);

struct HitResult {
    std::int32_t index;
    bool onClose;
    bool operator==(const HitResult&) const = default;
};

struct StripExtent {
    std::int32_t width;
    std::int32_t leftSize;
    std::int32_t rightSize;
};

// The strip's extent and the pointer in the window's pixels, the tabs as laid out at 96 DPI.
HitResult HitTest(std::int32_t tabStyle, const StripExtent& strip, const std::vector<TabBox>& tabs, double x,
                  double y, const DpiScale& scale = DpiScale());

// The selection after the tab at `removed` has gone: the first tab when it was the selected
// one, else the same tab.
std::int32_t SelectionAfterRemove(std::int32_t selected, std::int32_t removed);

// The selection after a tab was inserted at `inserted` into a strip that had countBefore tabs:
// the same tab stays selected; a strip without a valid selection selects the first tab.
std::int32_t SelectionAfterInsert(std::int32_t selected, std::int32_t inserted, std::int32_t countBefore);

}  // namespace xcyh2
