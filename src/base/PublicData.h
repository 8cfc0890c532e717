// Shared routines of the start-up module: the temporary folder and writing an embedded
// resource to a file. (The login background's window-procedure hook lives in
// login/LoginBgHook.h.)
#pragma once

#include <string>

namespace xcyh2 {

// The system's temporary folder, always ending in exactly one backslash.
std::wstring GetTempDir();

// Writes the bytes of the custom resource (numeric id, type name) of the program's own module
// to path. The file ends up holding exactly those bytes: they are written to a temporary file
// beside it first, which then replaces the old file, so a reader never sees a half-written
// file and a longer old file leaves no tail. Returns false when the resource is missing or the
// file cannot be written (the old file, if any, is then unchanged).
bool SaveResToFile(int resourceId, const std::wstring& resourceType, const std::wstring& path);

}  // namespace xcyh2
