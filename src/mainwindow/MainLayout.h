// Where the main window puts its controls at a size change, in twips (the window's unit), and
// the size of its rounded region in pixels. Window-free: the window converts and applies it.
#pragma once

#include <optional>

#include "base/DpiScale.h"

namespace xcyh2 {

struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct MainLayoutInput {
    int width = 0;           // outer width, twips
    int innerWidth = 0;      // client area, twips
    int innerHeight = 0;
    int tabStripHeight = 0;  // the strip keeps its own height
    bool minimized = false;
};

struct MainLayout {
    TwipRect titleBar;
    int regionWidth = 0;   // pixels, corners 6 x 6
    int regionHeight = 0;
    int closeLeft = 0, minMaxLeft = 0, minLeft = 0, toolLeft = 0;  // the right-hand buttons, top 15
    // Absent where a step cannot run (a negative size): the control keeps its place.
    std::optional<TwipRect> tabStrip;
    int gameSpaceLeft = 0;
    int otherUserLeft = 0;
    std::optional<TwipRect> page;  // the placeholder page area and the tab page container
};

inline constexpr int kRegionCorner = 6;

// Nothing at all while the window is minimized. scale: the window's, for its pixel sizes.
std::optional<MainLayout> LayOutMainWindow(const MainLayoutInput& in, const DpiScale& scale = DpiScale());

// The placeholder's browser, two pixels beyond every edge of its box (box size in twips).
TwipRect PlaceholderBrowser(int boxInnerWidth, int boxInnerHeight);

}  // namespace xcyh2
