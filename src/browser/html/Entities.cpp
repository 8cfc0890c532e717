#include "browser/html/Entities.h"

#include <algorithm>
#include <array>

namespace xcyh2::html {
namespace {

struct Named {
    std::u16string_view name;
    char16_t value;
    bool legacy;  // also recognised without its ';', as browsers do for these old names
};

// Sorted by name for binary search.
constexpr std::array<Named, 52> kNamed = {{
    {u"AElig", 0x00C6, true}, {u"Aacute", 0x00C1, true}, {u"Eacute", 0x00C9, true},
    {u"amp", 0x0026, true}, {u"apos", 0x0027, false}, {u"bull", 0x2022, false},
    {u"cent", 0x00A2, true}, {u"copy", 0x00A9, true}, {u"deg", 0x00B0, true},
    {u"divide", 0x00F7, true}, {u"eacute", 0x00E9, true}, {u"emsp", 0x2003, false},
    {u"ensp", 0x2002, false}, {u"euro", 0x20AC, false}, {u"frac12", 0x00BD, true},
    {u"gt", 0x003E, true}, {u"hellip", 0x2026, false}, {u"iexcl", 0x00A1, true},
    {u"iquest", 0x00BF, true}, {u"laquo", 0x00AB, true}, {u"larr", 0x2190, false},
    {u"ldquo", 0x201C, false}, {u"lsaquo", 0x2039, false}, {u"lsquo", 0x2018, false},
    {u"lt", 0x003C, true}, {u"mdash", 0x2014, false}, {u"middot", 0x00B7, true},
    {u"nbsp", 0x00A0, true}, {u"ndash", 0x2013, false}, {u"not", 0x00AC, true},
    {u"para", 0x00B6, true}, {u"plusmn", 0x00B1, true}, {u"pound", 0x00A3, true},
    {u"quot", 0x0022, true}, {u"raquo", 0x00BB, true}, {u"rarr", 0x2192, false},
    {u"rdquo", 0x201D, false}, {u"reg", 0x00AE, true}, {u"rsaquo", 0x203A, false},
    {u"rsquo", 0x2019, false}, {u"sect", 0x00A7, true}, {u"shy", 0x00AD, true},
    {u"thinsp", 0x2009, false}, {u"times", 0x00D7, true}, {u"trade", 0x2122, false},
    {u"uarr", 0x2191, false}, {u"uuml", 0x00FC, true}, {u"yen", 0x00A5, true},
    {u"zwj", 0x200D, false}, {u"zwnj", 0x200C, false}, {u"darr", 0x2193, false},
    {u"hearts", 0x2665, false},
}};

const Named* FindNamed(std::u16string_view name) {
    static const auto sorted = [] {
        auto copy = kNamed;
        std::sort(copy.begin(), copy.end(), [](const Named& a, const Named& b) { return a.name < b.name; });
        return copy;
    }();
    auto it = std::lower_bound(sorted.begin(), sorted.end(), name,
                               [](const Named& e, std::u16string_view n) { return e.name < n; });
    return (it != sorted.end() && it->name == name) ? &*it : nullptr;
}

// Code points 0x80-0x9F written as numeric references mean Windows-1252 characters.
constexpr std::array<char16_t, 32> kWindows1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsAsciiAlnum(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

int HexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

void AppendCodePoint(std::u16string& out, char32_t cp) {
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        out.push_back(u'\xFFFD');
    } else if (cp >= 0x80 && cp <= 0x9F) {
        out.push_back(kWindows1252[cp - 0x80]);
    } else if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(cp));
    }
}

// Decodes the reference starting at text[pos] == '&'; returns the characters consumed (0 if
// there is no reference there).
std::size_t DecodeOne(std::u16string& out, std::u16string_view text, std::size_t pos, bool inAttribute) {
    std::size_t i = pos + 1;
    if (i < text.size() && text[i] == u'#') {
        ++i;
        bool hex = i < text.size() && (text[i] == u'x' || text[i] == u'X');
        if (hex) ++i;
        std::size_t digitsStart = i;
        char32_t value = 0;
        bool overflow = false;
        while (i < text.size()) {
            int d = hex ? HexValue(text[i]) : (text[i] >= u'0' && text[i] <= u'9' ? text[i] - u'0' : -1);
            if (d < 0) break;
            value = value * (hex ? 16 : 10) + static_cast<char32_t>(d);
            if (value > 0x10FFFF) overflow = true, value = 0x110000;
            ++i;
        }
        if (i == digitsStart) return 0;
        if (i < text.size() && text[i] == u';') ++i;
        AppendCodePoint(out, overflow ? 0x110000 : value);
        return i - pos;
    }
    std::size_t nameStart = i;
    while (i < text.size() && IsAsciiAlnum(text[i]) && i - nameStart < 16) ++i;
    if (i == nameStart) return 0;
    std::u16string_view name = text.substr(nameStart, i - nameStart);
    if (i < text.size() && text[i] == u';') {
        if (const Named* e = FindNamed(name)) {
            out.push_back(e->value);
            return i + 1 - pos;
        }
    }
    // Without the ';': the longest legacy name that prefixes what is written ("&copy2020").
    for (std::size_t len = name.size(); len > 0; --len) {
        const Named* e = FindNamed(name.substr(0, len));
        if (!e || !e->legacy) continue;
        std::size_t after = nameStart + len;
        if (inAttribute && after < text.size() && (IsAsciiAlnum(text[after]) || text[after] == u'='))
            return 0;
        out.push_back(e->value);
        return after - pos;
    }
    return 0;
}

}  // namespace

void AppendDecoded(std::u16string& out, std::u16string_view text, bool inAttribute) {
    out.reserve(out.size() + text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t amp = text.find(u'&', pos);
        if (amp == std::u16string_view::npos) amp = text.size();
        out.append(text.substr(pos, amp - pos));
        if (amp == text.size()) break;
        std::size_t used = DecodeOne(out, text, amp, inAttribute);
        if (used == 0) {
            out.push_back(u'&');
            used = 1;
        }
        pos = amp + used;
    }
}

}  // namespace xcyh2::html
