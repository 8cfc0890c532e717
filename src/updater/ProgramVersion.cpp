#include "updater/ProgramVersion.h"

#include <windows.h>

#include <vector>

#include "base/SystemLibraries.h"

namespace xcyh2 {

std::optional<std::string> ProgramFileVersion(const std::wstring& path) {
    sys::Version& version = sys::version();
    DWORD ignored = 0;
    DWORD size = version.GetFileVersionInfoSizeW.call_or(0, path.c_str(), &ignored);
    if (size == 0) return std::nullopt;
    std::vector<unsigned char> block(size);
    if (!version.GetFileVersionInfoW.call_or(FALSE, path.c_str(), 0, size, block.data())) return std::nullopt;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!version.VerQueryValueW.call_or(FALSE, static_cast<LPCVOID>(block.data()), L"\\",
                                        reinterpret_cast<LPVOID*>(&fixed), &length) ||
        !fixed || length < sizeof(VS_FIXEDFILEINFO) || fixed->dwSignature != VS_FFI_SIGNATURE)
        return std::nullopt;
    return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS)) +
           "." + std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionLS));
}

}  // namespace xcyh2
