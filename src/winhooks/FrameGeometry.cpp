#include "winhooks/FrameGeometry.h"

#include <cstdlib>

namespace xcyh2::winhooks {

int EdgeAt(const FrameRect& w, int x, int y, const DpiScale& scale) {
    const int tolerance = scale.Pixels(kEdgeTolerance);
    auto near = [tolerance](int edge, int at) { return std::abs(edge - at) <= tolerance; };
    const bool inWidth = w.left + tolerance < x && x < w.right - tolerance;
    const bool inHeight = w.top + tolerance < y && y < w.bottom - tolerance;
    if (near(w.left, x) && near(w.bottom, y)) return kEdgeBottomLeft;
    if (near(w.top, y) && near(w.left, x)) return kEdgeTopLeft;
    if (near(w.right, x) && near(w.bottom, y)) return kEdgeBottomRight;
    if (near(w.right, x) && near(w.top, y)) return kEdgeTopRight;
    if (near(w.top, y) && inWidth) return kEdgeTop;
    if (near(w.right, x) && inHeight) return kEdgeRight;
    if (near(w.bottom, y) && inWidth) return kEdgeBottom;
    if (near(w.left, x) && inHeight) return kEdgeLeft;
    return kEdgeNone;
}

FrameRect MoveOutline(FrameRect o, int edge, int x, int y, const DpiScale& scale) {
    const int minWidth = scale.Pixels(kMinResizeWidth), minHeight = scale.Pixels(kMinResizeHeight);
    const bool wideEnoughRight = x > o.left + minWidth;
    const bool wideEnoughLeft = o.right - x > minWidth;
    const bool tallEnough = y > o.top + minHeight;
    switch (edge) {
        case kEdgeTop: o.top = y; break;
        case kEdgeTopRight: o.top = y; o.right = x; break;
        case kEdgeRight: if (wideEnoughRight) o.right = x; break;
        case kEdgeBottomRight:
            if (wideEnoughRight) o.right = x;
            if (tallEnough) o.bottom = y;
            break;
        case kEdgeBottom: if (tallEnough) o.bottom = y; break;
        case kEdgeBottomLeft:
            if (wideEnoughLeft) o.left = x;
            if (tallEnough) o.bottom = y;
            break;
        case kEdgeLeft: if (wideEnoughLeft) o.left = x; break;
        case kEdgeTopLeft: o.top = y; o.left = x; break;
        default: break;
    }
    return o;
}

FrameRect MaximisedRect(int screenWidth, int screenHeight, int taskbarHeight) {
    return {0, 0, screenWidth, screenHeight - taskbarHeight};
}

}  // namespace xcyh2::winhooks
