// The title bar's drawing plan without windows: which pieces of the skin picture go where when
// the bar is painted, when a form's frame is printed and when the minimise place is covered.
// Plans are in twips, as the bar measures; ToPixels turns one piece into a pixel copy cut to
// the skin picture.
#pragma once

#include <cstdint>
#include <vector>

namespace xcyh2 {

// The skin picture (bitmap 108): a miniature window of 94 x 85 pixels.
inline constexpr std::int32_t kSkinWidthTwips = 1410;
inline constexpr std::int32_t kSkinHeightTwips = 1275;
// The bar is held at this height; its pieces are 545 twips high and cut off by its edge.
inline constexpr std::int32_t kBarHeightTwips = 500;
inline constexpr std::int32_t kCaptionTop = 150;
// The caption starts after the logo's place when the bar has a logo.
inline std::int32_t CaptionLeft(bool hasLogo) { return hasLogo ? 600 : 150; }

struct TwipsBox {
    std::int32_t x = 0, y = 0, width = 0, height = 0;
    bool operator==(const TwipsBox&) const = default;
};
struct SkinPiece {
    TwipsBox source;  // in the skin picture
    TwipsBox target;  // on the surface drawn on
    bool operator==(const SkinPiece&) const = default;
};

// The bar of a control `width` twips wide: the middle tiles, then its left and right ends.
std::vector<SkinPiece> BarPieces(std::int32_t width);
// A form's frame: the bottom edge, the left and right edges, then the two bottom corners.
std::vector<SkinPiece> FramePieces(std::int32_t formWidth, std::int32_t formHeight);
// Plain bar over the place of a minimise button at the bar's right end.
SkinPiece NominPiece(std::int32_t width);

// One piece as a pixel copy: source and target converted at 15 twips per pixel, then cut to the
// skin picture's skinWidth x skinHeight pixels (the target shrinks with the source). False when
// nothing of the piece lies in the picture.
struct PixelCopy {
    std::int32_t sourceX = 0, sourceY = 0;
    std::int32_t targetX = 0, targetY = 0;
    std::int32_t width = 0, height = 0;
    bool operator==(const PixelCopy&) const = default;
};
bool ToPixels(const SkinPiece& piece, std::int32_t skinWidth, std::int32_t skinHeight, PixelCopy& copy);

}  // namespace xcyh2
