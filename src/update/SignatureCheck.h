// Whether bytes carry a valid publisher signature: a DER-encoded ECDSA P-256 signature of their
// SHA-256, in a file of its own, as `openssl dgst -sha256 -sign` writes it. The caller holds the
// bytes it checks, so the bytes it goes on to use are the ones that were checked.
#pragma once

#include <string>
#include <string_view>

#include "base/EcdsaDer.h"

namespace xcyh2 {

// False when the signature file cannot be read or is no such signature, or the signature does
// not verify under publicPoint (x || y of the P-256 key).
bool BytesSignedBy(const PublisherKey& publicPoint, std::string_view bytes, const std::wstring& signatureFile);

}  // namespace xcyh2
