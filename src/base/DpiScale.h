// One window's scale: the shell's sizes are given at 96 dots per inch (pixels) or in twips, and
// a window on a denser screen draws them at its own DPI. Every position, size and hit box goes
// through this type, so the multiplication lives in one place.
#pragma once

#include <cstdint>

namespace xcyh2 {

// A rectangle by its edges: right and bottom are one past the last pixel, as the system's are.
struct EdgeRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    std::int32_t Width() const { return right - left; }
    std::int32_t Height() const { return bottom - top; }
    bool operator==(const EdgeRect&) const = default;
};

class DpiScale {
public:
    static constexpr int kBaseDpi = 96;
    // The shell supports 100 % to 400 %. A DPI outside is drawn at the nearer end: below 100 %
    // the 96-DPI layout would lose its art, above 400 % the 200 % art is stretched past use.
    static constexpr int kMinDpi = kBaseDpi;
    static constexpr int kMaxDpi = 4 * kBaseDpi;

    DpiScale() : DpiScale(kBaseDpi) {}
    // dpi as the system reports it for a window; 0 or less (no answer) is read as 96.
    explicit DpiScale(int dpi);

    int Dpi() const { return dpi_; }
    // The scale in per cent, rounded (120 DPI is 125 %).
    int Percent() const;
    // 1440 / DPI: what the forms runtime's twips-per-pixel is at this scale.
    double TwipsPerPixel() const;

    // A length or position given in 96-DPI pixels, in this window's pixels.
    std::int32_t Pixels(double pixels96) const;
    // This window's pixels as 96-DPI pixels, unrounded: what a 96-DPI layout has to fill.
    double Pixels96(double pixels) const;
    // A length or position in twips, in this window's pixels.
    std::int32_t TwipsToPixels(double twips) const;
    // This window's pixels in twips, rounded to whole twips.
    std::int32_t PixelsToTwips(double pixels) const;

    // Rectangles are scaled edge by edge, never as origin plus scaled size: two pieces that
    // touch at 96 DPI still touch, with no gap and no overlap, at every scale.
    EdgeRect Rect(const EdgeRect& pixels96) const;
    EdgeRect TwipsRect(const EdgeRect& twips) const;

    // The art set this window draws from, in per cent (100, 150 or 200): the smallest set at or
    // above the scale, so pictures are only ever reduced; above 200 % the 200 % set.
    int ArtSet() const;

private:
    int dpi_;
};

}  // namespace xcyh2
