// Whether a file carries a valid publisher signature: a DER-encoded ECDSA P-256 signature of
// the file's SHA-256, in a file of its own, as `openssl dgst -sha256 -sign` writes it.
#pragma once

#include <string>

#include "base/EcdsaDer.h"

namespace xcyh2 {

// False when either file cannot be read, the signature file is no such signature, or the
// signature does not verify under publicPoint (x || y of the P-256 key).
bool FileSignedBy(const PublisherKey& publicPoint, const std::wstring& file, const std::wstring& signatureFile);

}  // namespace xcyh2
