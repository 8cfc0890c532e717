// The argument string the shell starts the updater with: the shell's folder, "|", the full
// path of its program file (D:\Games\Shell|D:\Games\Shell\client.exe, E:\|E:\\client.exe).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace xcyh2 {

struct UpdaterTarget {
    std::wstring folder;   // always ending in a backslash, ready for a file name
    std::wstring program;  // field 2 as given (may be empty)
};

// Nothing for a string that names no folder (empty, blanks only, or an empty first field):
// the updater then ends at once. Blanks around the string are dropped.
std::optional<UpdaterTarget> SplitUpdaterArguments(std::wstring_view arguments);

}  // namespace xcyh2
