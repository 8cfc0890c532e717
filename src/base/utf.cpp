#include "base/utf.h"

#include <cstdint>

namespace xcyh2 {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point from UTF-8 at pos, advancing pos; malformed input yields U+FFFD.
char32_t DecodeUtf8(std::string_view s, std::size_t& pos) {
    auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(s[i]); };
    std::uint8_t b0 = byte(pos++);
    if (b0 < 0x80) return b0;
    int extra;
    char32_t cp;
    char32_t min;
    if ((b0 & 0xE0) == 0xC0) { extra = 1; cp = b0 & 0x1F; min = 0x80; }
    else if ((b0 & 0xF0) == 0xE0) { extra = 2; cp = b0 & 0x0F; min = 0x800; }
    else if ((b0 & 0xF8) == 0xF0) { extra = 3; cp = b0 & 0x07; min = 0x10000; }
    else return kReplacement;
    for (int i = 0; i < extra; ++i) {
        if (pos >= s.size() || (byte(pos) & 0xC0) != 0x80) return kReplacement;
        cp = (cp << 6) | (byte(pos++) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return kReplacement;
    return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

template <typename Char16>
void AppendUtf16(std::basic_string<Char16>& out, char32_t cp) {
    if (cp < 0x10000) {
        out += static_cast<Char16>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<Char16>(0xD800 + (cp >> 10));
        out += static_cast<Char16>(0xDC00 + (cp & 0x3FF));
    }
}

template <typename Char16>
std::string FromUtf16(std::basic_string_view<Char16> s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t c = static_cast<char16_t>(s[i]);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size()) {
            char32_t d = static_cast<char16_t>(s[i + 1]);
            if (d >= 0xDC00 && d <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (d - 0xDC00);
                ++i;
            } else {
                c = kReplacement;
            }
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacement;
        }
        AppendUtf8(out, c);
    }
    return out;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) AppendUtf16(out, DecodeUtf8(utf8, pos));
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) { return FromUtf16(utf16); }

std::wstring Utf8ToWide(std::string_view utf8) {
    std::wstring out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        char32_t cp = DecodeUtf8(utf8, pos);
        if constexpr (sizeof(wchar_t) == 2) AppendUtf16(out, cp);
        else out += static_cast<wchar_t>(cp);
    }
    return out;
}

std::string WideToUtf8(std::wstring_view wide) {
    if constexpr (sizeof(wchar_t) == 2) {
        return FromUtf16(wide);
    } else {
        std::string out;
        for (wchar_t c : wide) {
            char32_t cp = static_cast<char32_t>(c);
            AppendUtf8(out, (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) ? kReplacement : cp);
        }
        return out;
    }
}

}  // namespace xcyh2
