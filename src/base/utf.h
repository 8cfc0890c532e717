// UTF-8 <-> UTF-16 conversion without the platform, so parsers can run natively.
// Invalid input becomes U+FFFD; nothing throws.
#pragma once

#include <string>
#include <string_view>

namespace xcyh2 {

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Wide strings on Windows are UTF-16 (wchar_t is 16 bits there); natively wchar_t is 32 bits.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

}  // namespace xcyh2
