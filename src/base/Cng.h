// Owners of the system's cryptography (CNG) handles, through the bcrypt table: a SHA-256 hash
// and a P-256 ECDSA public key.
#pragma once

#include <windows.h>
#include <bcrypt.h>

#include <optional>

#include "base/Digest.h"
#include "base/EcdsaDer.h"
#include "base/unique_any.h"

namespace xcyh2::cng {

namespace detail {
void CloseAlgorithm(BCRYPT_ALG_HANDLE h);
void DestroyHash(BCRYPT_HASH_HANDLE h);
void DestroyKey(BCRYPT_KEY_HANDLE h);
}  // namespace detail
using unique_algorithm = unique_any<BCRYPT_ALG_HANDLE, &detail::CloseAlgorithm>;
using unique_hash = unique_any<BCRYPT_HASH_HANDLE, &detail::DestroyHash>;
using unique_key = unique_any<BCRYPT_KEY_HANDLE, &detail::DestroyKey>;

// A SHA-256 hash being fed; false from the start when the service is not there.
class Sha256 {
public:
    Sha256();
    explicit operator bool() const { return static_cast<bool>(hash_); }
    bool Add(const void* data, std::size_t size);
    // The digest; the hash takes nothing more after it.
    std::optional<Sha256Digest> Finish();

private:
    unique_algorithm algorithm_;
    unique_hash hash_;
};

// Loads the service and its P-256 algorithm once, so that a check later costs only itself (under
// Wine the first use loads the cryptography library behind it). For a thread that has time.
void Prepare();

// Whether signature is the P-256 ECDSA signature of digest under the public point (x || y).
// False for a bad signature, and when the service or the key cannot be had.
bool VerifyP256(const PublisherKey& publicPoint, const Sha256Digest& digest,
                const P256RawSignature& signature);

}  // namespace xcyh2::cng
