// The SHA-256 of a file, computed by the system's cryptography service (CNG), reading the file
// in pieces.
#pragma once

#include <optional>
#include <string>

#include "base/Digest.h"

namespace xcyh2 {

// Nothing when the file cannot be read or the service is not available.
std::optional<Sha256Digest> Sha256OfFile(const std::wstring& path);

}  // namespace xcyh2
