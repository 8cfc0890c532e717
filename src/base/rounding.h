// Rounding to whole numbers with halves to even, as the classic runtime converts numbers to
// 32-bit integers (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
#pragma once

#include <cmath>
#include <cstdint>

namespace xcyh2 {

inline std::int32_t RoundHalfEven(double value) {
    double floor = std::floor(value);
    double diff = value - floor;
    double result;
    if (diff > 0.5) {
        result = floor + 1.0;
    } else if (diff < 0.5) {
        result = floor;
    } else {
        result = (std::fmod(floor, 2.0) == 0.0) ? floor : floor + 1.0;
    }
    return static_cast<std::int32_t>(result);
}

}  // namespace xcyh2
