#include "updater/Sha256File.h"

#include <windows.h>
#include <bcrypt.h>

#include <vector>

#include "base/unique_any.h"
#include "base/win_handles.h"

namespace xcyh2 {
namespace {

void CloseAlgorithm(BCRYPT_ALG_HANDLE h) { ::BCryptCloseAlgorithmProvider(h, 0); }
void CloseHash(BCRYPT_HASH_HANDLE h) { ::BCryptDestroyHash(h); }
using unique_algorithm = unique_any<BCRYPT_ALG_HANDLE, &CloseAlgorithm>;
using unique_hash = unique_any<BCRYPT_HASH_HANDLE, &CloseHash>;

bool Ok(NTSTATUS status) { return status >= 0; }

}  // namespace

std::optional<Sha256Digest> Sha256OfFile(const std::wstring& path) {
    unique_file file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return std::nullopt;
    BCRYPT_ALG_HANDLE rawAlgorithm = nullptr;
    if (!Ok(::BCryptOpenAlgorithmProvider(&rawAlgorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) return std::nullopt;
    unique_algorithm algorithm(rawAlgorithm);
    BCRYPT_HASH_HANDLE rawHash = nullptr;
    if (!Ok(::BCryptCreateHash(algorithm.get(), &rawHash, nullptr, 0, nullptr, 0, 0))) return std::nullopt;
    unique_hash hash(rawHash);

    std::vector<UCHAR> buffer(256 * 1024);
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) return std::nullopt;
        if (got == 0) break;
        if (!Ok(::BCryptHashData(hash.get(), buffer.data(), got, 0))) return std::nullopt;
    }
    Sha256Digest digest{};
    if (!Ok(::BCryptFinishHash(hash.get(), digest.data(), static_cast<ULONG>(digest.size()), 0))) return std::nullopt;
    return digest;
}

}  // namespace xcyh2
