#include "mainwindow/MainLayout.h"

namespace xcyh2 {
namespace {
constexpr int kTitleBarHeight = 495;
constexpr int kStripLeft = 2300, kStripTop = 45, kStripMargin = 6900;
constexpr int kPageMargin = 60;
}  // namespace

std::optional<MainLayout> LayOutMainWindow(const MainLayoutInput& in, const DpiScale& scale) {
    if (in.minimized) return std::nullopt;
    MainLayout out;
    out.titleBar = {0, 0, in.width, kTitleBarHeight};
    out.regionWidth = scale.TwipsToPixels(in.innerWidth) + 1;
    out.regionHeight = scale.TwipsToPixels(in.innerHeight) + 1;
    out.closeLeft = in.width - 730;
    out.minMaxLeft = in.width - 1105;
    out.minLeft = in.width - 1465;
    out.toolLeft = in.width - 1825;
    // A window narrower than the strip's margins leaves the strip where it was.
    if (int width = in.innerWidth - kStripMargin; width >= 0) {
        out.tabStrip = TwipRect{kStripLeft, kStripTop, width, in.tabStripHeight};
    }
    out.gameSpaceLeft = in.innerWidth - 3300;
    out.otherUserLeft = in.innerWidth - 4850;
    // The pages start at the strip's height, not below its bottom edge.
    TwipRect page{kPageMargin, in.tabStripHeight, in.innerWidth - 2 * kPageMargin,
                  in.innerHeight - in.tabStripHeight - kPageMargin};
    if (page.width >= 0 && page.height >= 0) out.page = page;
    return out;
}

TwipRect PlaceholderBrowser(int boxInnerWidth, int boxInnerHeight) {
    return {-30, -30, boxInnerWidth + 60, boxInnerHeight + 60};
}

}  // namespace xcyh2
