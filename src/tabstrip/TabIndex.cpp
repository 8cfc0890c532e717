#include "tabstrip/TabIndex.h"

#include <cmath>
#include <cstdlib>

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
    std::size_t i = 0, end = text.size();
    while (i < end && IsBlank(text[i])) ++i;
    while (end > i && IsBlank(text[end - 1])) --end;
    std::string ascii;
    std::size_t p = i;
    if (p < end && (text[p] == L'+' || text[p] == L'-')) ascii += static_cast<char>(text[p++]);
    std::size_t digits = 0;
    while (p < end && IsDigit(text[p])) ascii += static_cast<char>(text[p++]), ++digits;
    if (p < end && text[p] == L'.') {
        ascii += '.';
        ++p;
        while (p < end && IsDigit(text[p])) ascii += static_cast<char>(text[p++]), ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (p < end && (text[p] == L'e' || text[p] == L'E')) {
        ascii += 'e';
        ++p;
        if (p < end && (text[p] == L'+' || text[p] == L'-')) ascii += static_cast<char>(text[p++]);
        std::size_t expDigits = 0;
        while (p < end && IsDigit(text[p])) ascii += static_cast<char>(text[p++]), ++expDigits;
        if (expDigits == 0) return std::nullopt;
    }
    if (p != end) return std::nullopt;
    double value = std::strtod(ascii.c_str(), nullptr);
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
