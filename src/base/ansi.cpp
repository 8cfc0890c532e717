#include "base/ansi.h"

#include <windows.h>

namespace xcyh2 {

std::string WideToAnsi(std::wstring_view wide) {
    if (wide.empty()) return {};
    int n = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring AnsiToWide(std::string_view ansi) {
    if (ansi.empty()) return {};
    int n = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring out(n > 0 ? n : 0, L'\0');
    if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), out.data(), n);
    return out;
}

bool IsAnsiLeadByte(unsigned char byte) { return ::IsDBCSLeadByteEx(CP_ACP, byte) != FALSE; }

}  // namespace xcyh2
