#include "mainwindow/GameAddress.h"

#include <cwctype>

namespace xcyh2 {
namespace {

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::towlower(static_cast<std::wint_t>(text[i])) != static_cast<std::wint_t>(prefix[i])) return false;
    }
    return true;
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\0'; }

}  // namespace

bool IsWebAddress(std::wstring_view url) {
    std::size_t scheme = StartsWithNoCase(url, L"http://") ? 7 : StartsWithNoCase(url, L"https://") ? 8 : 0;
    if (scheme == 0 || url.size() == scheme) return false;
    for (wchar_t c : url) {
        if (c < 0x20 || c == 0x7F) return false;
    }
    return true;
}

std::optional<std::wstring> GameAddressFromCommand(std::wstring_view command) {
    while (!command.empty() && IsBlank(command.front())) command.remove_prefix(1);
    while (!command.empty() && IsBlank(command.back())) command.remove_suffix(1);
    if (!IsWebAddress(command)) return std::nullopt;
    return std::wstring(command);
}

std::wstring GameTabKey(const std::wstring& url) { return url + L"Game"; }

std::wstring ProgramBaseName(std::wstring_view path) {
    std::size_t slash = path.find_last_of(L"\\/");
    if (slash != std::wstring_view::npos) path.remove_prefix(slash + 1);
    std::size_t dot = path.rfind(L'.');
    if (dot != std::wstring_view::npos && dot > 0) path = path.substr(0, dot);
    return std::wstring(path);
}

}  // namespace xcyh2
