// How the controls keep a font and a colour in a property bag, which holds numbers, Booleans and
// text: as text, read back leniently (text that is not a font or a number changes nothing).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace xcyh2 {

// A font as the controls' surfaces take it.
struct FontDesc {
    std::wstring name = L"宋体";
    double size = 9;              // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    std::int32_t charset = 134;   // GB2312
    bool operator==(const FontDesc&) const = default;
};

// "name;size;flags;charset", flags being any of B, I, U, S ("宋体;9;B;134").
std::wstring FontToText(const FontDesc& font);
bool FontFromText(std::wstring_view text, FontDesc& font);

// Colours are 32-bit values 0x00BBGGRR; values with the top bit set name a system colour by
// its index in the low byte. As text they are the value as a signed decimal number.
std::wstring ColourToText(std::uint32_t colour);
bool ColourFromText(std::wstring_view text, std::uint32_t& colour);

}  // namespace xcyh2
