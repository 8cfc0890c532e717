// Conversion between the inside's UTF-16 and the system's ANSI code page, for the "A" calls
// whose byte layout is fixed.
#pragma once

#include <string>
#include <string_view>

namespace xcyh2 {

std::string WideToAnsi(std::wstring_view wide);
std::wstring AnsiToWide(std::string_view ansi);

// Whether a byte starts a double-byte character of this system's ANSI code page.
bool IsAnsiLeadByte(unsigned char byte);

}  // namespace xcyh2
