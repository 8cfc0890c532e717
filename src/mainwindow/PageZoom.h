// A tab's page zoom: the steps the zoom keys and Ctrl+wheel walk, and the zoom the page is
// given once the window's own scale is added.
#pragma once

namespace xcyh2 {

class DpiScale;

// Every tab starts here, and Ctrl+0 comes back here.
inline constexpr int kZoomDefault = 100;

// The next step above current (per cent); at or past the last step, the last step.
int ZoomIn(int current);
// The next step below current; at or below the first step, the first step.
int ZoomOut(int current);

// Ctrl+wheel in zoom steps: one step per notch of the wheel (120 units). High-resolution wheels
// report parts of a notch; the parts add up, and turning back starts the count again.
class WheelZoomSteps {
public:
    // The whole steps that delta completes (positive: zoom in); the rest is kept for the next.
    int Add(int delta);

private:
    int rest_ = 0;
};

// The zoom handed to the page engine: the window's scale times the tab's zoom, in per cent,
// kept within what the engine accepts (10 to 1000 %).
int EffectivePageZoom(const DpiScale& scale, int tabZoom);

}  // namespace xcyh2
