// The temporary folder as the shell uses it: whatever the system reports, it ends in exactly
// one backslash, so file names can be appended to it directly.
#pragma once

#include <string>

namespace xcyh2 {

// path as the system gave it (it may hold the terminating NUL, extra trailing backslashes or
// none) turned into the folder with exactly one trailing backslash.
std::wstring TempDirWithOneBackslash(std::wstring path);

}  // namespace xcyh2
