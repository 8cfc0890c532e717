#include "base/TempDirPath.h"

namespace xcyh2 {

std::wstring TempDirWithOneBackslash(std::wstring path) {
    std::size_t nul = path.find(L'\0');
    if (nul != std::wstring::npos) path.resize(nul);
    while (path.size() > 1 && path.back() == L'\\' && path[path.size() - 2] == L'\\') path.pop_back();
    if (path.empty() || path.back() != L'\\') path += L'\\';
    return path;
}

}  // namespace xcyh2
