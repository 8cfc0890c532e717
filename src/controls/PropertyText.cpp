#include "controls/PropertyText.h"

#include <cmath>
#include <vector>

#include "base/decimal.h"

namespace xcyh2 {

namespace {

std::vector<std::wstring_view> SplitFromRight(std::wstring_view text, wchar_t separator, std::size_t fields) {
    // The name comes first and may itself hold the separator: only the last fields are split off.
    std::vector<std::wstring_view> parts(fields);
    for (std::size_t i = fields; i-- > 1;) {
        std::size_t at = text.rfind(separator);
        if (at == std::wstring_view::npos) return {};
        parts[i] = text.substr(at + 1);
        text = text.substr(0, at);
    }
    parts[0] = text;
    return parts;
}

bool ParseInteger(std::wstring_view text, long long& value) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == L' ') ++i;
    bool negative = i < text.size() && text[i] == L'-';
    if (negative || (i < text.size() && text[i] == L'+')) ++i;
    std::size_t digits = 0;
    value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i, ++digits) {
        if (value > 9999999999LL) return false;
        value = value * 10 + (text[i] - L'0');
    }
    while (i < text.size() && text[i] == L' ') ++i;
    if (digits == 0 || i != text.size()) return false;
    if (negative) value = -value;
    return true;
}

bool ParseSize(std::wstring_view text, double& size) {
    std::size_t dot = text.find(L'.');
    long long whole = 0, fraction = 0;
    if (!ParseInteger(text.substr(0, dot), whole) || whole <= 0 || whole > 1638) return false;
    size = static_cast<double>(whole);
    if (dot == std::wstring_view::npos) return true;
    std::wstring_view decimals = text.substr(dot + 1);
    if (decimals.empty() || decimals.size() > 4 || decimals[0] == L'-' || decimals[0] == L'+' ||
        !ParseInteger(decimals, fraction))
        return false;
    size += static_cast<double>(fraction) / std::pow(10.0, static_cast<double>(decimals.size()));
    return true;
}

}  // namespace

std::wstring FontToText(const FontDesc& font) {
    std::wstring flags;
    if (font.bold) flags += L'B';
    if (font.italic) flags += L'I';
    if (font.underline) flags += L'U';
    if (font.strikethrough) flags += L'S';
    // Four places: what a size read back from text may hold.
    return font.name + L';' + FixedDecimal(font.size, 4) + L';' + flags + L';' + DecimalText(font.charset);
}

bool FontFromText(std::wstring_view text, FontDesc& font) {
    auto parts = SplitFromRight(text, L';', 4);
    if (parts.empty() || parts[0].empty()) return false;
    FontDesc read;
    read.name = parts[0];
    long long charset = 0;
    if (!ParseSize(parts[1], read.size) || !ParseInteger(parts[3], charset) || charset < 0 || charset > 255)
        return false;
    read.charset = static_cast<std::int32_t>(charset);
    for (wchar_t flag : parts[2]) {
        switch (flag) {
            case L'B': read.bold = true; break;
            case L'I': read.italic = true; break;
            case L'U': read.underline = true; break;
            case L'S': read.strikethrough = true; break;
            default: return false;
        }
    }
    font = read;
    return true;
}

std::wstring ColourToText(std::uint32_t colour) { return DecimalText(static_cast<std::int32_t>(colour)); }

bool ColourFromText(std::wstring_view text, std::uint32_t& colour) {
    long long value = 0;
    // A 32-bit value written signed (as the classic runtime does) or unsigned.
    if (!ParseInteger(text, value) || value < -2147483648LL || value > 4294967295LL) return false;
    colour = static_cast<std::uint32_t>(value);
    return true;
}

}  // namespace xcyh2
