// The arithmetic of a borderless window's own frame: which edge the pointer is on, how the
// sizing outline follows the pointer, and the rectangle a maximised window fills. Screen
// pixels throughout; no window needed, so the rules are tested natively.
#pragma once

#include "base/DpiScale.h"

namespace xcyh2::winhooks {

// A window rectangle as the system gives it: right and bottom are one past the last pixel.
struct FrameRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const FrameRect&) const = default;
};

// Edge codes: the edges clockwise from the top, corners between them; -1 is no edge.
enum FrameEdge : int {
    kEdgeNone = -1,
    kEdgeTop = 0,
    kEdgeTopRight = 1,
    kEdgeRight = 2,
    kEdgeBottomRight = 3,
    kEdgeBottom = 4,
    kEdgeBottomLeft = 5,
    kEdgeLeft = 6,
    kEdgeTopLeft = 7,
};

// At 96 DPI; a window draws them at its scale.
inline constexpr int kEdgeTolerance = 5;  // pixels either side of an edge
// A resize keeps the window wider than this and taller than that (strictly).
inline constexpr int kMinResizeWidth = 800;
inline constexpr int kMinResizeHeight = 600;

// The edge under the pointer (x, y) of a window with this rectangle. Corners are tested before
// edges; an edge counts only between the corner zones.
int EdgeAt(const FrameRect& window, int x, int y, const DpiScale& scale = DpiScale());

// The outline after the pointer moved to (x, y) while dragging the given edge. The bottom and
// right edges and the left edge keep the minimum size; the top edge and the top corners do not.
FrameRect MoveOutline(FrameRect outline, int edge, int x, int y, const DpiScale& scale = DpiScale());

// A maximised window fills the screen above a taskbar docked at the bottom.
FrameRect MaximisedRect(int screenWidth, int screenHeight, int taskbarHeight);


}  // namespace xcyh2::winhooks
