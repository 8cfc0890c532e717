// The file version in a program file's version resource, as dotted numbers ("1.1.0.0"): what
// the updater compares a manifest's version with.
#pragma once

#include <optional>
#include <string>

namespace xcyh2 {

// Nothing when the file is not there or carries no version resource.
std::optional<std::string> ProgramFileVersion(const std::wstring& path);

}  // namespace xcyh2
