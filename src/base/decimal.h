// Numbers as decimal text, written here rather than with std::to_wstring or swprintf: those
// bring the C runtime's whole printf machinery (tens of kilobytes) into every program.
#pragma once

#include <concepts>
#include <string>
#include <type_traits>

namespace xcyh2 {

std::wstring SignedDecimal(long long value);
std::wstring UnsignedDecimal(unsigned long long value);

// Any integer: -2147483648, 0, 4294967295.
template <std::integral T>
std::wstring DecimalText(T value) {
    if constexpr (std::is_signed_v<T>)
        return SignedDecimal(value);
    else
        return UnsignedDecimal(value);
}

// A value rounded to at most maxFractionDigits (0 to 9) places, trailing zeros dropped:
// 9 -> "9", 10.5 -> "10.5", 7.25 -> "7.25", 10.666666 -> "10.6667" with four places, which is
// what %g writes for point sizes. Non-finite values are "nan", "inf" and "-inf"; magnitudes of
// 1e18 and more keep their leading 18 digits and are written without a fraction.
std::wstring FixedDecimal(double value, int maxFractionDigits);

}  // namespace xcyh2
