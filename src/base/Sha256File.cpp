#include "base/Sha256File.h"

#include <windows.h>

#include <vector>

#include "base/Cng.h"
#include "base/win_handles.h"

namespace xcyh2 {

std::optional<Sha256Digest> Sha256OfFile(const std::wstring& path) {
    unique_file file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return std::nullopt;
    cng::Sha256 hash;
    if (!hash) return std::nullopt;
    std::vector<UCHAR> buffer(256 * 1024);
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
            return std::nullopt;
        if (got == 0) break;
        if (!hash.Add(buffer.data(), got)) return std::nullopt;
    }
    return hash.Finish();
}

}  // namespace xcyh2
