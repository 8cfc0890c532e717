// The command line as the shell reads it: the argument string after the program's name, and
// the one switch it knows.
#pragma once

#include <string>
#include <string_view>

namespace xcyh2 {

// The text after the program name (quoted or bare) and the blanks that follow it, unchanged.
std::wstring ArgumentString(std::wstring_view commandLine);

// "/web" exactly: case-sensitive, nothing else on the line.
bool IsWebSwitch(std::wstring_view argumentString);

}  // namespace xcyh2
