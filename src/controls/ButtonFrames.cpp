#include "controls/ButtonFrames.h"

#include "base/rounding.h"
#include "base/twips.h"

namespace xcyh2 {

std::int32_t PixelsToHimetric(std::int32_t pixels) {
    // 2540 HIMETRIC per inch, rounded to the nearest unit as the platform's MulDiv does.
    std::int64_t scaled = static_cast<std::int64_t>(pixels) * 2540;
    return static_cast<std::int32_t>(scaled >= 0 ? (scaled + 48) / 96 : (scaled - 48) / 96);
}

std::int32_t FramesInStrip(std::int32_t style) { return style == 0 ? 3 : 6; }

FrameSize CutFrames(double himetricWidth, double himetricHeight, std::int32_t style) {
    FrameSize frame;
    frame.height = RoundHalfEven(himetricHeight / kHimetricPerPixel);
    frame.width = RoundHalfEven(himetricWidth / kHimetricPerPixel / FramesInStrip(style));
    return frame;
}

std::int32_t FrameForState(std::int32_t state, bool locked, bool value, std::int32_t style) {
    std::int32_t shown = locked ? kStatePressed : state;
    if (shown < kStateNormal || shown > kStatePressed) shown = kStateNormal;
    // Value is only ever True on a toggle button (Style 1).
    return shown + (value && style == 1 ? 3 : 0);
}

bool AutoSizeTwips(const FrameSize& frame, TwipsSize& size) {
    if (frame.width <= 0 || frame.height <= 0) return false;
    size = {PixelsToTwips(frame.width), PixelsToTwips(frame.height)};
    return true;
}

CaptionLayout LayOutCaption(const CaptionInput& in) {
    CaptionLayout out;
    const std::int32_t iconTwips = in.hasIcon ? (in.iconHimetricWidth / 26) * kTwipsPerPixel : 0;
    out.iconX = RoundHalfEven(in.width / 2 - in.textWidth / 2 - iconTwips / 2.0);
    out.iconY = 0;
    out.x = RoundHalfEven(in.width / 2 - in.textWidth / 2 + iconTwips);
    out.y = RoundHalfEven(in.height / 2 - in.textHeight / 2);
    if (in.state == kStatePressed) {
        out.x += kTwipsPerPixel;
        out.y += kTwipsPerPixel;
    }
    return out;
}

PixelRect FocusRectangle(double widthTwips, double heightTwips, double twipsPerPixelX, double twipsPerPixelY) {
    return {3, 3, RoundHalfEven(widthTwips / twipsPerPixelX) - 3, RoundHalfEven(heightTwips / twipsPerPixelY) - 3};
}

}  // namespace xcyh2
