#include "tabstrip/TabIndex.h"

#include <cmath>
#include <cstdint>

#include "base/rounding.h"

namespace xcyh2 {

const ITabForm* TabIndex::Form() const {
    auto p = std::get_if<const ITabForm*>(&value_);
    return p ? *p : nullptr;
}

const CTabItem* TabIndex::Item() const {
    auto p = std::get_if<const CTabItem*>(&value_);
    return p ? *p : nullptr;
}

namespace {
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
}  // namespace

std::optional<double> NumberInText(const std::wstring& text) {
    std::size_t p = 0, end = text.size();
    while (p < end && IsBlank(text[p])) ++p;
    while (end > p && IsBlank(text[end - 1])) --end;
    bool negative = false;
    if (p < end && (text[p] == L'+' || text[p] == L'-')) negative = text[p++] == L'-';
    // The value is mantissa * 10^exponent. The mantissa keeps the first 19 significant digits
    // (what 64 bits hold); later digits only move the point.
    std::uint64_t mantissa = 0;
    int kept = 0;
    long long exponent = 0;
    std::size_t digits = 0;
    bool fraction = false;
    for (; p < end; ++p) {
        if (text[p] == L'.' && !fraction) {
            fraction = true;
            continue;
        }
        if (!IsDigit(text[p])) break;
        ++digits;
        if (kept < 19) {
            if (mantissa != 0 || text[p] != L'0') mantissa = mantissa * 10 + (text[p] - L'0'), ++kept;
            if (fraction) --exponent;
        } else if (!fraction) {
            ++exponent;
        }
    }
    if (digits == 0) return std::nullopt;
    if (p < end && (text[p] == L'e' || text[p] == L'E')) {
        ++p;
        bool negativeExponent = false;
        if (p < end && (text[p] == L'+' || text[p] == L'-')) negativeExponent = text[p++] == L'-';
        long long written = 0;
        std::size_t expDigits = 0;
        for (; p < end && IsDigit(text[p]); ++p, ++expDigits) {
            // Far beyond where every value is infinite or zero; stopping here avoids overflow.
            if (written < 100000) written = written * 10 + (text[p] - L'0');
        }
        if (expDigits == 0) return std::nullopt;
        exponent += negativeExponent ? -written : written;
    }
    if (p != end) return std::nullopt;

    double value = 0;
    if (mantissa != 0) {
        while (mantissa % 10 == 0) mantissa /= 10, ++exponent;
        // Powers of ten up to 10^22 are exact doubles, so a mantissa under 2^53 scaled by one of
        // them is rounded once, to the nearest double, as strtod rounds. Larger scales round
        // again each step and may end a unit in the last place away, only for magnitudes far
        // beyond any tab position.
        static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                             1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
        value = static_cast<double>(mantissa);
        for (; exponent > 22 && std::isfinite(value); exponent -= 22) value *= 1e22;
        for (; exponent < -22 && value != 0; exponent += 22) value /= 1e22;
        if (exponent >= 0 && exponent <= 22)
            value *= kPowers[exponent];
        else if (exponent < 0 && exponent >= -22)
            value /= kPowers[-exponent];
    }
    if (negative) value = -value;
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<std::int32_t> PositionFromNumber(double number) {
    if (!std::isfinite(number)) return std::nullopt;
    // Rounding can only bring values up to half a unit outside the range back into it.
    if (number < -2147483648.5 || number > 2147483647.5) return std::nullopt;
    double rounded = std::nearbyint(number);  // default rounding mode: halves to even
    if (rounded < -2147483648.0 || rounded > 2147483647.0) return std::nullopt;
    return RoundHalfEven(number);
}

}  // namespace xcyh2
