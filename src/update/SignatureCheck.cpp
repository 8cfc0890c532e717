#include "update/SignatureCheck.h"

#include <windows.h>

#include "base/Cng.h"
#include "base/EcdsaDer.h"
#include "base/win_handles.h"

namespace xcyh2 {
namespace {

// A P-256 signature in DER is at most 72 bytes: anything longer is not one, and is not read.
constexpr DWORD kMaxSignatureBytes = 72;

std::optional<P256RawSignature> ReadSignature(const std::wstring& path) {
    unique_file file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return std::nullopt;
    char bytes[kMaxSignatureBytes + 1];
    DWORD got = 0;
    if (!::ReadFile(file.get(), bytes, sizeof(bytes), &got, nullptr) || got > kMaxSignatureBytes) return std::nullopt;
    return P256SignatureFromDer(std::string_view(bytes, got));
}

}  // namespace

bool BytesSignedBy(const PublisherKey& publicPoint, std::string_view bytes, const std::wstring& signatureFile) {
    std::optional<P256RawSignature> signature = ReadSignature(signatureFile);
    if (!signature) return false;
    cng::Sha256 hash;
    if (!hash || !hash.Add(bytes.data(), bytes.size())) return false;
    std::optional<Sha256Digest> digest = hash.Finish();
    return digest && cng::VerifyP256(publicPoint, *digest, *signature);
}

}  // namespace xcyh2
