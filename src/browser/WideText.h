// The built-in engine's window-free core speaks char16_t; Windows' wide strings hold the same
// UTF-16 code units, so the two convert unit by unit.
#pragma once

#include <string>
#include <string_view>

namespace xcyh2::browser {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows only: wide strings are UTF-16");

inline std::wstring ToWide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }
inline std::u16string ToU16(std::wstring_view s) { return std::u16string(s.begin(), s.end()); }

}  // namespace xcyh2::browser
