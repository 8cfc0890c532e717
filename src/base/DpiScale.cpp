#include "base/DpiScale.h"

#include <algorithm>
#include <iterator>

#include "base/rounding.h"
#include "base/twips.h"

namespace xcyh2 {
namespace {
constexpr double kTwipsPerInch = kTwipsPerPixel * DpiScale::kBaseDpi;
constexpr int kArtSets[] = {100, 150, 200};
}  // namespace

DpiScale::DpiScale(int dpi) : dpi_(dpi <= 0 ? kBaseDpi : std::clamp(dpi, kMinDpi, kMaxDpi)) {}

int DpiScale::Percent() const { return RoundHalfEven(dpi_ * 100.0 / kBaseDpi); }

double DpiScale::TwipsPerPixel() const { return kTwipsPerInch / dpi_; }

// Multiplying first keeps exact halves exact (1440 / 168 twips per pixel is not a finite
// binary fraction), so halves round to even as the 96-DPI helpers round them.
std::int32_t DpiScale::Pixels(double pixels96) const { return RoundHalfEven(pixels96 * dpi_ / kBaseDpi); }

double DpiScale::Pixels96(double pixels) const { return pixels * kBaseDpi / dpi_; }

std::int32_t DpiScale::TwipsToPixels(double twips) const { return RoundHalfEven(twips * dpi_ / kTwipsPerInch); }

std::int32_t DpiScale::PixelsToTwips(double pixels) const { return RoundHalfEven(pixels * kTwipsPerInch / dpi_); }

EdgeRect DpiScale::Rect(const EdgeRect& r) const {
    return {Pixels(r.left), Pixels(r.top), Pixels(r.right), Pixels(r.bottom)};
}

EdgeRect DpiScale::TwipsRect(const EdgeRect& r) const {
    return {TwipsToPixels(r.left), TwipsToPixels(r.top), TwipsToPixels(r.right), TwipsToPixels(r.bottom)};
}

int DpiScale::ArtSet() const {
    for (int set : kArtSets) {
        if (dpi_ * 100 <= set * kBaseDpi) return set;
    }
    return kArtSets[std::size(kArtSets) - 1];
}

}  // namespace xcyh2
