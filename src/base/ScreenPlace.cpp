#include "base/ScreenPlace.h"

#include <algorithm>
#include <utility>

namespace xcyh2 {

EdgeRect KeepReachable(const EdgeRect& wanted, const std::vector<EdgeRect>& workAreas, int minVisible) {
    if (workAreas.empty()) return wanted;
    // Absurd rectangles (a message's) may span more than an int can hold.
    auto span = [](int from, int to) { return static_cast<long long>(to) - from; };
    auto overlap = [&](const EdgeRect& area) {
        long long w = span(std::max(wanted.left, area.left), std::min(wanted.right, area.right));
        long long h = span(std::max(wanted.top, area.top), std::min(wanted.bottom, area.bottom));
        return std::pair{std::max(0LL, w), std::max(0LL, h)};
    };
    // The work area the window overlaps most; the primary when it overlaps none.
    const EdgeRect* best = &workAreas.front();
    long long bestArea = 0;
    for (const EdgeRect& area : workAreas) {
        auto [w, h] = overlap(area);
        if (w * h > bestArea) {
            bestArea = w * h;
            best = &area;
        }
    }
    const EdgeRect& area = *best;
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

}  // namespace xcyh2
