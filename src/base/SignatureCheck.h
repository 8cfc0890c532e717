// Whether a file carries a valid publisher signature: a DER-encoded ECDSA P-256 signature of
// the file's SHA-256, in a file of its own, as `openssl dgst -sha256 -sign` writes it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace xcyh2 {

// A P-256 public key: its point, x then y, 32 big-endian bytes each.
using PublisherKey = std::array<std::uint8_t, 64>;

// False when either file cannot be read, the signature file is no such signature, or the
// signature does not verify under publicPoint (x || y of the P-256 key).
bool FileSignedBy(const PublisherKey& publicPoint, const std::wstring& file, const std::wstring& signatureFile);

}  // namespace xcyh2
