// The arithmetic of a borderless window's own frame: which edge the pointer is on, how the
// sizing outline follows the pointer, and the rectangle a maximised window fills. Screen
// pixels throughout; no window needed, so the rules are tested natively.
#pragma once

#include <vector>

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

// Where a window asked to go to `wanted` (the system's rectangle for a new screen scale, say)
// is put so that a player can still reach it. Its screen is the work area it overlaps most (the
// first, the primary, when it overlaps none). It stays as asked when it fits that screen and at
// least minVisible pixels of it each way lie on it; otherwise it is made no larger than the
// screen and moved inside it. An empty or inverted rectangle takes the screen's work area.
FrameRect KeepReachable(const FrameRect& wanted, const std::vector<FrameRect>& workAreas, int minVisible);

}  // namespace xcyh2::winhooks
