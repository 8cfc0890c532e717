// Game addresses as the main window takes them from outside: from a page's new-window request
// and from another program's DDE request. Only web addresses are handed on; a page or another
// program must not make the game window start a program or open a local file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace xcyh2 {

// "http://" or "https://" (in any letter case) followed by something, with no control
// characters anywhere.
bool IsWebAddress(std::wstring_view url);

// The address a DDE execute command carries: the command without the white space around it,
// when that is a web address.
std::optional<std::wstring> GameAddressFromCommand(std::wstring_view command);

// The tab key of a game address: the address followed by "Game".
std::wstring GameTabKey(const std::wstring& url);

// The name of a program file without its folder and extension ("xcyh2" for
// C:\Games\xcyh2.exe): the DDE service name.
std::wstring ProgramBaseName(std::wstring_view path);

}  // namespace xcyh2
