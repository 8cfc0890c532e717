// Form positions are kept in twips; the system assumes 15 twips per pixel when converting.
#pragma once

#include "base/rounding.h"

namespace xcyh2 {

inline constexpr int kTwipsPerPixel = 15;

constexpr int PixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }
inline int TwipsToPixels(double twips) { return RoundHalfEven(twips / kTwipsPerPixel); }

// Picture sizes arrive in HIMETRIC (0.01 mm); this is the divisor that gives pixels.
inline constexpr double kHimetricPerPixel = 26.45836;
inline int HimetricToPixels(double himetric) { return RoundHalfEven(himetric / kHimetricPerPixel); }

}  // namespace xcyh2
