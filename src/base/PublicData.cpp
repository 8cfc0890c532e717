#include "base/PublicData.h"

#include <windows.h>

#include "base/PartFile.h"
#include "base/ResourceBytes.h"
#include "base/TempDirPath.h"

namespace xcyh2 {

std::wstring GetTempDir() {
    // Wide call: the same folder as the ANSI call on a Chinese system, and right on every other.
    std::wstring buffer(MAX_PATH + 1, L' ');
    DWORD n = ::GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (n > buffer.size()) {
        buffer.assign(n + 1, L' ');
        n = ::GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    }
    buffer.resize(n <= buffer.size() ? n : 0);
    return TempDirWithOneBackslash(std::move(buffer));
}

bool SaveResToFile(int resourceId, const std::wstring& resourceType, const std::wstring& path) {
    std::string_view bytes = ResourceBytes(resourceId, resourceType);
    if (bytes.data() == nullptr) return false;
    PartFile part(path, false);
    if (!part) return false;
    if (!bytes.empty() && !part.Write(bytes.data(), static_cast<DWORD>(bytes.size()))) return false;
    return part.Commit();
}

}  // namespace xcyh2
