// A SHA-256 digest, as the manifest's file lines carry it and the system's hashing makes it.
#pragma once

#include <array>
#include <cstdint>

namespace xcyh2 {

using Sha256Digest = std::array<std::uint8_t, 32>;

}  // namespace xcyh2
