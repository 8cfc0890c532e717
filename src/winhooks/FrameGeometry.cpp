#include "winhooks/FrameGeometry.h"

#include <algorithm>
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

FrameRect KeepReachable(const FrameRect& wanted, const std::vector<FrameRect>& workAreas, int minVisible) {
    if (workAreas.empty()) return wanted;
    // Absurd rectangles (a message's) may span more than an int can hold.
    auto span = [](int from, int to) { return static_cast<long long>(to) - from; };
    auto overlap = [&](const FrameRect& area) {
        long long w = span(std::max(wanted.left, area.left), std::min(wanted.right, area.right));
        long long h = span(std::max(wanted.top, area.top), std::min(wanted.bottom, area.bottom));
        return std::pair{std::max(0LL, w), std::max(0LL, h)};
    };
    // The work area the window overlaps most; the primary when it overlaps none.
    const FrameRect* best = &workAreas.front();
    long long bestArea = 0;
    for (const FrameRect& area : workAreas) {
        auto [w, h] = overlap(area);
        if (w * h > bestArea) {
            bestArea = w * h;
            best = &area;
        }
    }
    const FrameRect& area = *best;
    const long long areaWidth = span(area.left, area.right), areaHeight = span(area.top, area.bottom);
    const long long wantedWidth = span(wanted.left, wanted.right), wantedHeight = span(wanted.top, wanted.bottom);
    if (wantedWidth <= 0 || wantedHeight <= 0) return area;
    auto [visibleWidth, visibleHeight] = overlap(area);
    if (wantedWidth <= areaWidth && wantedHeight <= areaHeight && visibleWidth >= minVisible &&
        visibleHeight >= minVisible)
        return wanted;
    const int width = static_cast<int>(std::min(wantedWidth, areaWidth));
    const int height = static_cast<int>(std::min(wantedHeight, areaHeight));
    const int left = std::clamp(wanted.left, area.left, area.right - width);
    const int top = std::clamp(wanted.top, area.top, area.bottom - height);
    return {left, top, left + width, top + height};
}

}  // namespace xcyh2::winhooks
