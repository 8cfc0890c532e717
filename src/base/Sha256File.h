// The SHA-256 of a file, computed by the system's cryptography service (CNG), reading the file
// in pieces.
#pragma once

#include <windows.h>

#include <optional>
#include <stop_token>
#include <string>

#include "base/Digest.h"

namespace xcyh2 {

// Nothing when the file cannot be read or the service is not available, or when stop is
// requested before the end (it is looked at between pieces).
std::optional<Sha256Digest> Sha256OfFile(const std::wstring& path, std::stop_token stop = {});
// The same of a file already open with read access, from its first byte to its last, whatever
// its position (which it moves).
std::optional<Sha256Digest> Sha256OfOpenFile(HANDLE file, std::stop_token stop = {});

}  // namespace xcyh2
