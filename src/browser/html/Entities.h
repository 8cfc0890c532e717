// Character references in page text and attribute values: "&amp;", "&#20013;", "&#x4E2D;".
#pragma once

#include <string>
#include <string_view>

namespace xcyh2::html {

// Appends text to out with its character references replaced. References this engine does not
// know ("&foo;", "&#;", a lone "&") stay as written. Numeric references to nothing valid (0,
// surrogates, beyond U+10FFFF) become U+FFFD; 0x80-0x9F map as Windows-1252, as browsers do.
// inAttribute: a name without its ';' followed by a letter, digit or '=' is not a reference
// (so "?a=1&copy=2" in an address stays intact).
void AppendDecoded(std::u16string& out, std::u16string_view text, bool inAttribute = false);

inline std::u16string DecodeEntities(std::u16string_view text, bool inAttribute = false) {
    std::u16string out;
    AppendDecoded(out, text, inAttribute);
    return out;
}

}  // namespace xcyh2::html
