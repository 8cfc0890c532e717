#include "mainwindow/PageZoom.h"

#include <algorithm>
#include <iterator>

#include "base/DpiScale.h"
#include "base/rounding.h"

namespace xcyh2 {
namespace {
constexpr int kZoomSteps[] = {50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300};
constexpr int kEngineMinZoom = 10, kEngineMaxZoom = 1000;
}  // namespace

int ZoomIn(int current) {
    const int* next = std::upper_bound(std::begin(kZoomSteps), std::end(kZoomSteps), current);
    return next == std::end(kZoomSteps) ? kZoomSteps[std::size(kZoomSteps) - 1] : *next;
}

int ZoomOut(int current) {
    const int* atOrAbove = std::lower_bound(std::begin(kZoomSteps), std::end(kZoomSteps), current);
    return atOrAbove == std::begin(kZoomSteps) ? kZoomSteps[0] : *(atOrAbove - 1);
}

int WheelZoomSteps::Add(int delta) {
    constexpr int kNotch = 120;  // WHEEL_DELTA
    if ((delta > 0 && rest_ < 0) || (delta < 0 && rest_ > 0)) rest_ = 0;
    rest_ += delta;
    int steps = rest_ / kNotch;
    rest_ -= steps * kNotch;
    return steps;
}

int EffectivePageZoom(const DpiScale& scale, int tabZoom) {
    int zoom = RoundHalfEven(static_cast<double>(scale.Dpi()) * tabZoom / DpiScale::kBaseDpi);
    return std::clamp(zoom, kEngineMinZoom, kEngineMaxZoom);
}

}  // namespace xcyh2
