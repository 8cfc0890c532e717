#include "base/Sha256File.h"

#include <vector>

#include "base/Cng.h"
#include "base/win_handles.h"

namespace xcyh2 {

std::optional<Sha256Digest> Sha256OfFile(const std::wstring& path, std::stop_token stop) {
    unique_file file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return std::nullopt;
    return Sha256OfOpenFile(file.get(), std::move(stop));
}

std::optional<Sha256Digest> Sha256OfOpenFile(HANDLE file, std::stop_token stop) {
    if (!::SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_BEGIN)) return std::nullopt;
    cng::Sha256 hash;
    if (!hash) return std::nullopt;
    std::vector<UCHAR> buffer(256 * 1024);
    for (;;) {
        if (stop.stop_requested()) return std::nullopt;
        DWORD got = 0;
        if (!::ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
            return std::nullopt;
        if (got == 0) break;
        if (!hash.Add(buffer.data(), got)) return std::nullopt;
    }
    return hash.Finish();
}

}  // namespace xcyh2
