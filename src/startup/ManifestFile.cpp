#include "startup/ManifestFile.h"

#include <vector>

#include "base/win_handles.h"

namespace xcyh2 {

FeedEnd FeedFileInPieces(const std::wstring& path, const std::function<bool(std::string_view)>& feed) {
    // Shared with everyone: the shell may be writing a new copy while it is read.
    unique_file file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return FeedEnd::NoFile;
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) || got == 0) {
            return FeedEnd::EndOfFile;
        }
        if (feed(std::string_view(buffer.data(), got))) return FeedEnd::ReaderDone;
    }
}

}  // namespace xcyh2
