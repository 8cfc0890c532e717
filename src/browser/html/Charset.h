// Which character set a page's bytes are in, and turning them into UTF-16.
// Window-free: the GBK table lives in the platform, so the caller passes a decoder for it.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace xcyh2::html {

enum class Charset {
    Utf8,
    Gbk,      // gbk, gb2312 and gb18030 all go to code page 936
    Utf16Le,  // only from a byte order mark
    Utf16Be,  // only from a byte order mark
};

// Decodes bytes of a legacy charset (in practice Charset::Gbk) to UTF-16. On Windows this is
// MultiByteToWideChar(936, 0, ...). It must not throw; undecodable bytes become U+FFFD.
using LegacyDecoder = std::function<std::u16string(std::string_view bytes, Charset charset)>;

// A charset label as written in a header or a <meta> ("UTF-8", " gb2312 ", "x-gbk"), compared
// without case and surrounding blanks. Returns false for labels this engine does not know.
bool CharsetFromLabel(std::string_view label, Charset& charset);

// The charset parameter of a Content-Type value ("text/html; charset=gbk"), or "" if none.
std::string_view CharsetParameter(std::string_view contentType);

// Byte order mark at the start of bytes: its charset and length (0 when there is none).
std::size_t DetectBom(std::string_view bytes, Charset& charset);

// Looks for <meta charset=...> or <meta http-equiv="Content-Type" content="...; charset=...">
// in the first kilobytes of the page, skipping comments. False when none names a known charset.
bool DetectMetaCharset(std::string_view bytes, Charset& charset);

// The page's charset, first match wins: byte order mark, the HTTP Content-Type header's charset
// (pass "" when there is none), the page's <meta>, and otherwise UTF-8.
Charset DetectCharset(std::string_view bytes, std::string_view contentTypeHeader);

// Decodes bytes (without their byte order mark) in charset. UTF-8 and UTF-16 are decoded here;
// other charsets go through legacy. Without a legacy decoder, bytes above 0x7F become U+FFFD.
std::u16string DecodeBytes(std::string_view bytes, Charset charset, const LegacyDecoder& legacy);

struct DecodedPage {
    Charset charset = Charset::Utf8;
    std::u16string text;
};

// DetectCharset, then DecodeBytes of what follows the byte order mark.
DecodedPage DecodePage(std::string_view bytes, std::string_view contentTypeHeader,
                       const LegacyDecoder& legacy);

}  // namespace xcyh2::html
