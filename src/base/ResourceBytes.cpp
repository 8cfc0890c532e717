#include "base/ResourceBytes.h"

#include <windows.h>

namespace xcyh2 {

std::string_view ResourceBytes(int resourceId, const std::wstring& resourceType) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(resourceId), resourceType.c_str());
    if (!info) return {};
    HGLOBAL loaded = ::LoadResource(module, info);
    if (!loaded) return {};
    const void* data = ::LockResource(loaded);
    DWORD size = ::SizeofResource(module, info);
    if (!data) return {};
    return {static_cast<const char*>(data), size};
}

}  // namespace xcyh2
