#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "winhooks/FrameGeometry.h"

namespace xcyh2::winhooks {

void PrintTo(const FrameRect& r, std::ostream* os) {
    *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

// A window 1000 x 700 at (100, 100): right and bottom are one past the last pixel.
constexpr FrameRect kWindow{100, 100, 1100, 800};

TEST(FrameGeometry, EdgeTestTriesCornersBeforeEdges) {
    struct Case {
        const char* what;
        FrameRect window;
        int x, y;
        int edge;
    };
    const Case cases[] = {
        {"3 px inside the left edge, halfway down", kWindow, 103, 450, kEdgeLeft},
        {"near the left and the bottom edge", kWindow, 104, 796, kEdgeBottomLeft},
        {"top-left", kWindow, 100, 100, kEdgeTopLeft},
        {"top-right", kWindow, 1098, 103, kEdgeTopRight},
        {"bottom-right", kWindow, 1100, 800, kEdgeBottomRight},
        {"top", kWindow, 600, 102, kEdgeTop},
        {"right", kWindow, 1096, 450, kEdgeRight},
        {"bottom", kWindow, 600, 805, kEdgeBottom},
        {"5 px outside the left edge still counts", kWindow, 95, 450, kEdgeLeft},
        {"6 px outside does not", kWindow, 94, 450, kEdgeNone},
        {"6 px inside does not", kWindow, 106, 450, kEdgeNone},
        {"left edge at the end of the corner zone", kWindow, 100, 105, kEdgeTopLeft},
        {"left edge just below the corner zone", kWindow, 100, 106, kEdgeLeft},
        {"top edge just right of the corner zone", kWindow, 106, 100, kEdgeTop},
        {"middle", kWindow, 600, 450, kEdgeNone},
        // In a window smaller than two corner zones every corner matches: bottom-left wins.
        {"tiny window", FrameRect{0, 0, 8, 8}, 4, 4, kEdgeBottomLeft},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EdgeAt(c.window, c.x, c.y), c.edge) << c.what;
    }
}

// The pointer goes through `path` while `edge` is held; the outline follows from kWindow.
FrameRect Drag(int edge, const std::vector<std::pair<int, int>>& path) {
    FrameRect outline = kWindow;
    for (auto [x, y] : path) outline = MoveOutline(outline, edge, x, y);
    return outline;
}

std::vector<std::pair<int, int>> Sweep(int fromX, int toX, int fromY, int toY, int steps) {
    std::vector<std::pair<int, int>> path;
    for (int i = 0; i <= steps; ++i) {
        path.emplace_back(fromX + (toX - fromX) * i / steps, fromY + (toY - fromY) * i / steps);
    }
    return path;
}

TEST(FrameGeometry, OutlineFollowsThePointerAndKeepsTheMinimumOnItsEdges) {
    struct Case {
        const char* what;
        int edge;
        std::vector<std::pair<int, int>> path;
        FrameRect outline;
    };
    const Case cases[] = {
        // The last width that exceeds 800 is 801: the right edge stops at 901.
        {"right edge dragged to 700 px wide", kEdgeRight, Sweep(1100, 800, 450, 450, 300), {100, 100, 901, 800}},
        {"right edge widened", kEdgeRight, {{1300, 10}}, {100, 100, 1300, 800}},
        {"top edge past the bottom: no minimum", kEdgeTop, Sweep(600, 600, 100, 900, 8), {100, 900, 1100, 800}},
        {"top-right corner: no minimum", kEdgeTopRight, {{500, 850}}, {100, 850, 500, 800}},
        {"top-left corner: no minimum", kEdgeTopLeft, {{1200, 900}}, {1200, 900, 1100, 800}},
        {"bottom edge to 600 px high stops at 601", kEdgeBottom, Sweep(600, 600, 800, 650, 150), {100, 100, 1100, 701}},
        {"bottom-right: each side on its own", kEdgeBottomRight, {{850, 750}}, {100, 100, 1100, 750}},
        {"bottom-left: width kept, height taken", kEdgeBottomLeft, {{350, 900}}, {100, 100, 1100, 900}},
        {"left edge to 800 px wide stops at 801", kEdgeLeft, Sweep(100, 400, 450, 450, 300), {299, 100, 1100, 800}},
        {"no edge moves nothing", kEdgeNone, {{500, 500}}, kWindow},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Drag(c.edge, c.path), c.outline) << c.what;
    }
}

}  // namespace
}  // namespace xcyh2::winhooks
