#include "base/CommandLine.h"

namespace xcyh2 {

std::wstring ArgumentString(std::wstring_view commandLine) {
    std::size_t i = 0;
    if (i < commandLine.size() && commandLine[i] == L'"') {
        std::size_t close = commandLine.find(L'"', 1);
        i = close == std::wstring_view::npos ? commandLine.size() : close + 1;
    } else {
        while (i < commandLine.size() && commandLine[i] != L' ' && commandLine[i] != L'\t') ++i;
    }
    while (i < commandLine.size() && (commandLine[i] == L' ' || commandLine[i] == L'\t')) ++i;
    return std::wstring(commandLine.substr(i));
}

bool IsWebSwitch(std::wstring_view argumentString) { return argumentString == L"/web"; }

}  // namespace xcyh2
