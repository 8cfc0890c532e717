// What DrawTabs paints, decided without windows: the order of the tabs, and for each tab the
// skin piece, where its picture goes, the caption box and the close glyph. Places and sizes are
// the window's pixels at its scale, each box scaled edge by edge from its 96-DPI place; the skin's
// pieces are given in the art's own pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "tabstrip/TabGeometry.h"

namespace xcyh2 {

struct PaintRect {
    std::int32_t x, y, width, height;
    bool operator==(const PaintRect&) const = default;
};

struct TabPaintOp {
    std::int32_t index;
    bool selected;
    PaintRect picture;        // in the tab area
    std::int32_t sourceX;     // the skin piece
    std::int32_t pieceWidth;
    std::int32_t pieceHeight;
    std::int32_t pictureEnd;  // the piece's unstretched ends, drawn this wide
    PaintRect caption;
    bool closeButton;
    std::int32_t glyphX;      // valid when closeButton
    std::int32_t buttonX, buttonY;
    std::int32_t buttonWidth, buttonHeight;  // the glyph drawn at this size
};

// The close glyphs' side in the skin, and the pictures' ends that are kept, not stretched.
inline constexpr std::int32_t kGlyphSize = 12;
inline constexpr std::int32_t kPieceEnd = 14;

struct HoverInfo {
    std::int32_t index;  // hover index
    std::int32_t state;  // 0 body, 1 over the close button, 2 close button pressed
};

// The tabs (laid out at 96 DPI) in painting order: unselected ones from the last to the first,
// the selected last.
std::vector<TabPaintOp> PlanTabs(std::int32_t tabStyle, const std::vector<TabBox>& tabs, std::int32_t selected,
                                 HoverInfo hover, const DpiScale& scale = DpiScale());

// Width of the strip background column in the skin, and its height.
std::int32_t SkinColumnHeight(std::int32_t tabStyle);

// Where a caption goes in its box: centred when it fits, else left-aligned from the computed top
// and cut with an ellipsis at the end.
struct CaptionPlacement {
    bool fits;
    std::int32_t top;  // when it does not fit
};
CaptionPlacement PlaceCaption(const PaintRect& box, std::int32_t textWidth, std::int32_t textHeight);

}  // namespace xcyh2
