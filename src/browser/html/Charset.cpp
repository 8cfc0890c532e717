#include "browser/html/Charset.h"

#include <algorithm>
#include <array>

#include "base/utf.h"

namespace xcyh2::html {
namespace {

// How far into the page a <meta> naming the charset is looked for.
constexpr std::size_t kMetaScanLimit = 4096;

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (IsBlank(s.front()) || s.front() == '"' || s.front() == '\'')) s.remove_prefix(1);
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '"' || s.back() == '\'')) s.remove_suffix(1);
    return s;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && EqualsNoCase(s.substr(0, prefix.size()), prefix);
}

// One attribute of a tag being scanned in raw bytes.
struct RawAttribute {
    std::string_view name, value;
};

// Reads the next attribute of a tag starting at pos; false at the tag's end.
bool NextRawAttribute(std::string_view s, std::size_t& pos, RawAttribute& attr) {
    while (pos < s.size() && (IsBlank(s[pos]) || s[pos] == '/')) ++pos;
    if (pos >= s.size() || s[pos] == '>') return false;
    std::size_t start = pos;
    while (pos < s.size() && !IsBlank(s[pos]) && s[pos] != '=' && s[pos] != '>' &&
           (pos == start || s[pos] != '/'))
        ++pos;
    attr.name = s.substr(start, pos - start);
    attr.value = {};
    while (pos < s.size() && IsBlank(s[pos])) ++pos;
    if (pos >= s.size() || s[pos] != '=') return true;
    ++pos;
    while (pos < s.size() && IsBlank(s[pos])) ++pos;
    if (pos >= s.size()) return true;
    if (s[pos] == '"' || s[pos] == '\'') {
        char quote = s[pos++];
        std::size_t end = s.find(quote, pos);
        if (end == std::string_view::npos) end = s.size();
        attr.value = s.substr(pos, end - pos);
        pos = std::min(end + 1, s.size());
    } else {
        start = pos;
        while (pos < s.size() && !IsBlank(s[pos]) && s[pos] != '>') ++pos;
        attr.value = s.substr(start, pos - start);
    }
    return true;
}

// The charset named by one <meta> tag whose attributes start at pos.
bool MetaCharset(std::string_view s, std::size_t pos, Charset& charset) {
    RawAttribute attr;
    bool httpEquivContentType = false;
    std::string_view content, direct;
    bool haveDirect = false;
    while (NextRawAttribute(s, pos, attr)) {
        if (EqualsNoCase(attr.name, "charset") && !haveDirect) {
            direct = attr.value;
            haveDirect = true;
        } else if (EqualsNoCase(attr.name, "http-equiv")) {
            httpEquivContentType = EqualsNoCase(Trim(attr.value), "content-type");
        } else if (EqualsNoCase(attr.name, "content")) {
            content = attr.value;
        }
    }
    if (haveDirect) return CharsetFromLabel(direct, charset);
    if (httpEquivContentType) return CharsetFromLabel(CharsetParameter(content), charset);
    return false;
}

void AppendUtf16(std::u16string& out, std::string_view bytes, bool bigEndian) {
    out.reserve(bytes.size() / 2 + 1);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        out.push_back(static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a)));
    }
    if (bytes.size() % 2) out.push_back(u'\xFFFD');
    // Unpaired surrogates would upset every later UTF-16 consumer.
    for (std::size_t i = 0; i < out.size(); ++i) {
        char16_t c = out[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 < out.size() && out[i + 1] >= 0xDC00 && out[i + 1] <= 0xDFFF) ++i;
            else out[i] = u'\xFFFD';
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            out[i] = u'\xFFFD';
        }
    }
}

}  // namespace

bool CharsetFromLabel(std::string_view label, Charset& charset) {
    label = Trim(label);
    static constexpr std::array<std::string_view, 4> kUtf8 = {"utf-8", "utf8", "unicode-1-1-utf-8",
                                                              "unicode11utf8"};
    static constexpr std::array<std::string_view, 11> kGbk = {
        "gbk", "gb2312", "gb18030", "x-gbk", "chinese", "csgb2312", "csiso58gb231280",
        "gb_2312", "gb_2312-80", "iso-ir-58", "cp936"};
    for (auto name : kUtf8)
        if (EqualsNoCase(label, name)) return charset = Charset::Utf8, true;
    for (auto name : kGbk)
        if (EqualsNoCase(label, name)) return charset = Charset::Gbk, true;
    // A page that claims UTF-16 in its own (ASCII-readable) bytes cannot be UTF-16.
    if (EqualsNoCase(label, "utf-16") || EqualsNoCase(label, "utf-16le") || EqualsNoCase(label, "utf-16be"))
        return charset = Charset::Utf8, true;
    return false;
}

std::string_view CharsetParameter(std::string_view contentType) {
    std::size_t pos = 0;
    while ((pos = contentType.find_first_of("cC", pos)) != std::string_view::npos) {
        if (StartsWithNoCase(contentType.substr(pos), "charset") &&
            (pos == 0 || IsBlank(contentType[pos - 1]) || contentType[pos - 1] == ';')) {
            std::size_t p = pos + 7;
            while (p < contentType.size() && IsBlank(contentType[p])) ++p;
            if (p < contentType.size() && contentType[p] == '=') {
                ++p;
                while (p < contentType.size() && IsBlank(contentType[p])) ++p;
                std::size_t end = p;
                if (end < contentType.size() && (contentType[end] == '"' || contentType[end] == '\'')) {
                    char quote = contentType[end];
                    ++p;
                    end = contentType.find(quote, p);
                    if (end == std::string_view::npos) end = contentType.size();
                } else {
                    while (end < contentType.size() && contentType[end] != ';' && !IsBlank(contentType[end])) ++end;
                }
                return contentType.substr(p, end - p);
            }
        }
        ++pos;
    }
    return {};
}

std::size_t DetectBom(std::string_view bytes, Charset& charset) {
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") return charset = Charset::Utf8, 3;
    if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFF\xFE") return charset = Charset::Utf16Le, 2;
    if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFE\xFF") return charset = Charset::Utf16Be, 2;
    return 0;
}

bool DetectMetaCharset(std::string_view bytes, Charset& charset) {
    std::string_view s = bytes.substr(0, std::min(bytes.size(), kMetaScanLimit));
    std::size_t pos = 0;
    while ((pos = s.find('<', pos)) != std::string_view::npos) {
        std::string_view rest = s.substr(pos);
        if (rest.starts_with("<!--")) {
            std::size_t end = s.find("-->", pos + 4);
            if (end == std::string_view::npos) return false;
            pos = end + 3;
            continue;
        }
        if (StartsWithNoCase(rest, "<meta") && rest.size() > 5 && (IsBlank(rest[5]) || rest[5] == '/')) {
            if (MetaCharset(s, pos + 5, charset)) return true;
        }
        ++pos;
    }
    return false;
}

Charset DetectCharset(std::string_view bytes, std::string_view contentTypeHeader) {
    Charset charset = Charset::Utf8;
    if (DetectBom(bytes, charset) > 0) return charset;
    if (CharsetFromLabel(CharsetParameter(contentTypeHeader), charset)) return charset;
    if (DetectMetaCharset(bytes, charset)) return charset;
    return Charset::Utf8;
}

std::u16string DecodeBytes(std::string_view bytes, Charset charset, const LegacyDecoder& legacy) {
    switch (charset) {
    case Charset::Utf8:
        return Utf8ToUtf16(bytes);
    case Charset::Utf16Le:
    case Charset::Utf16Be: {
        std::u16string out;
        AppendUtf16(out, bytes, charset == Charset::Utf16Be);
        return out;
    }
    case Charset::Gbk:
        break;
    }
    if (legacy) return legacy(bytes, charset);
    std::u16string out;
    out.reserve(bytes.size());
    for (char c : bytes) out.push_back(static_cast<unsigned char>(c) < 0x80 ? static_cast<char16_t>(c) : u'\xFFFD');
    return out;
}

DecodedPage DecodePage(std::string_view bytes, std::string_view contentTypeHeader, const LegacyDecoder& legacy) {
    DecodedPage page;
    Charset bom = Charset::Utf8;
    std::size_t bomLength = DetectBom(bytes, bom);
    page.charset = bomLength ? bom : DetectCharset(bytes, contentTypeHeader);
    page.text = DecodeBytes(bytes.substr(bomLength), page.charset, legacy);
    return page;
}

}  // namespace xcyh2::html
