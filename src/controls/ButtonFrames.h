// The image button's arithmetic without windows: how a picture strip is cut into state frames,
// which frame a state shows, the size AutoSize gives the button, where the caption and icon go
// and where the focus rectangle is drawn. Sizes are twips unless a name says pixels.
#pragma once

#include <cstdint>

namespace xcyh2 {

// Button states, as cMouseAction takes them.
enum ButtonState : std::int32_t { kStateNormal = 0, kStateHover = 1, kStatePressed = 2, kStateDisabled = 3 };

// Style 0 is a push button (a strip of 3 frames), any other style a strip of 6 frames: a toggle
// button (Style 1) shows frames 3 to 5 while its Value is True.
std::int32_t FramesInStrip(std::int32_t style);

// A picture's size in HIMETRIC as the picture object reports it for a bitmap of that many pixels.
// The shell assumes 96 pixels per inch (15 twips per pixel) wherever it converts, so the frames
// come out whole on every display.
std::int32_t PixelsToHimetric(std::int32_t pixels);

struct FrameSize {
    std::int32_t width = 0;   // pixels
    std::int32_t height = 0;  // pixels
    bool operator==(const FrameSize&) const = default;
};

// A strip whose picture measures himetricWidth x himetricHeight (0.01 mm): the frame height is
// the picture's height in pixels, the frame width its width in pixels divided by the number of
// frames; the division comes before the rounding to whole pixels.
FrameSize CutFrames(double himetricWidth, double himetricHeight, std::int32_t style);

// The frame the button shows for a state: the pressed frame while Locked, the normal frame of its
// set for the disabled state (the strips hold no disabled frame), frames 3 to 5 while a toggle
// button's Value is True.
std::int32_t FrameForState(std::int32_t state, bool locked, bool value, std::int32_t style);

// With AutoSize the button takes the size of one frame (twips); nothing when a side is 0.
struct TwipsSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool operator==(const TwipsSize&) const = default;
};
bool AutoSizeTwips(const FrameSize& frame, TwipsSize& size);

// Where the caption (and the icon in front of it) is printed on a button of the given size.
struct CaptionLayout {
    std::int32_t x = 0, y = 0;          // caption, twips
    std::int32_t iconX = 0, iconY = 0;  // icon, twips (meaningful with an icon)
};
struct CaptionInput {
    double width = 0, height = 0;          // the button, twips
    double textWidth = 0, textHeight = 0;  // the caption's extent in the button's font, twips
    bool hasIcon = false;
    std::int32_t iconHimetricWidth = 0;
    std::int32_t state = kStateNormal;     // the drawn state: the caption moves 1 pixel while pressed
};
CaptionLayout LayOutCaption(const CaptionInput& in);

// The focus rectangle, pixels: 3 pixels inside the button's edges.
struct PixelRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const PixelRect&) const = default;
};
PixelRect FocusRectangle(double widthTwips, double heightTwips, double twipsPerPixelX, double twipsPerPixelY);

}  // namespace xcyh2
