// Resolving the addresses a page links to against the page's own address.
#pragma once

#include <string>
#include <string_view>

namespace xcyh2::html {

// The scheme of url in lower case ("http", "app"), or "" when url is relative.
std::u16string UrlScheme(std::u16string_view url);

// Resolves reference (an href or src as written) against base (the page's address):
//   "http://h/a/b.html" + "c.html"      -> "http://h/a/c.html"
//   "http://h/a/b.html" + "../c?x#y"    -> "http://h/c?x#y"
//   "http://h/a/b.html" + "/c"          -> "http://h/c"
//   "http://h/a/b.html" + "//g/c"       -> "http://g/c"
//   "http://h/a/b.html" + "?q" / "#f"   -> "http://h/a/b.html?q" / "http://h/a/b.html#f"
// http and https addresses come back with scheme and host in lower case, "." and ".." segments
// removed and "/" for an empty path. A reference with any other scheme ("app://loadgame|...",
// "javascript:...", "about:blank") comes back exactly as written, as does a relative reference
// when base is not an http(s) address.
std::u16string ResolveUrl(std::u16string_view base, std::u16string_view reference);

}  // namespace xcyh2::html
