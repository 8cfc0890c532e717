#include "base/Cng.h"

#include <cstring>
#include <vector>

#include "base/SystemLibraries.h"

namespace xcyh2::cng {
namespace detail {
void CloseAlgorithm(BCRYPT_ALG_HANDLE h) {
    sys::bcrypt().BCryptCloseAlgorithmProvider.call_or(NTSTATUS(-1), h, ULONG(0));
}
void DestroyHash(BCRYPT_HASH_HANDLE h) { sys::bcrypt().BCryptDestroyHash.call_or(NTSTATUS(-1), h); }
void DestroyKey(BCRYPT_KEY_HANDLE h) { sys::bcrypt().BCryptDestroyKey.call_or(NTSTATUS(-1), h); }
}  // namespace detail

namespace {

// What a call through the table answers when bcrypt.dll or the entry point is missing.
constexpr NTSTATUS kMissing = static_cast<NTSTATUS>(0xC0000225L);  // STATUS_NOT_FOUND

bool Ok(NTSTATUS status) { return status >= 0; }

unique_algorithm OpenAlgorithm(LPCWSTR id) {
    BCRYPT_ALG_HANDLE handle = nullptr;
    if (!Ok(sys::bcrypt().BCryptOpenAlgorithmProvider.call_or(kMissing, &handle, id, LPCWSTR(nullptr), ULONG(0))))
        return {};
    return unique_algorithm(handle);
}

}  // namespace

Sha256::Sha256() : algorithm_(OpenAlgorithm(BCRYPT_SHA256_ALGORITHM)) {
    if (!algorithm_) return;
    BCRYPT_HASH_HANDLE handle = nullptr;
    if (Ok(sys::bcrypt().BCryptCreateHash.call_or(kMissing, algorithm_.get(), &handle, PUCHAR(nullptr), ULONG(0),
                                                  PUCHAR(nullptr), ULONG(0), ULONG(0))))
        hash_.reset(handle);
}

bool Sha256::Add(const void* data, std::size_t size) {
    if (!hash_ || size > 0xFFFFFFFFu) return false;
    return Ok(sys::bcrypt().BCryptHashData.call_or(kMissing, hash_.get(), PUCHAR(data), ULONG(size), ULONG(0)));
}

std::optional<Sha256Digest> Sha256::Finish() {
    if (!hash_) return std::nullopt;
    Sha256Digest digest{};
    NTSTATUS status =
        sys::bcrypt().BCryptFinishHash.call_or(kMissing, hash_.get(), digest.data(), ULONG(digest.size()), ULONG(0));
    hash_.reset();
    if (!Ok(status)) return std::nullopt;
    return digest;
}

void Prepare() { OpenAlgorithm(BCRYPT_ECDSA_P256_ALGORITHM); }

bool VerifyP256(const PublisherKey& publicPoint, const Sha256Digest& digest,
                const P256RawSignature& signature) {
    unique_algorithm algorithm = OpenAlgorithm(BCRYPT_ECDSA_P256_ALGORITHM);
    if (!algorithm) return false;
    // The public blob: its header, then x and y.
    std::vector<UCHAR> blob(sizeof(BCRYPT_ECCKEY_BLOB) + publicPoint.size());
    BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, 32};
    std::memcpy(blob.data(), &header, sizeof(header));
    std::memcpy(blob.data() + sizeof(header), publicPoint.data(), publicPoint.size());
    BCRYPT_KEY_HANDLE rawKey = nullptr;
    if (!Ok(sys::bcrypt().BCryptImportKeyPair.call_or(kMissing, algorithm.get(), BCRYPT_KEY_HANDLE(nullptr),
                                                      BCRYPT_ECCPUBLIC_BLOB, &rawKey, blob.data(), ULONG(blob.size()),
                                                      ULONG(0))))
        return false;
    unique_key key(rawKey);
    // The call takes writable pointers; it only reads them.
    Sha256Digest hash = digest;
    P256RawSignature raw = signature;
    return sys::bcrypt().BCryptVerifySignature.call_or(kMissing, key.get(), static_cast<void*>(nullptr), hash.data(),
                                                       ULONG(hash.size()), raw.data(), ULONG(raw.size()),
                                                       ULONG(0)) == 0;
}

}  // namespace xcyh2::cng
