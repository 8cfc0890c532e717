#include "updater/PlainFileName.h"

#include <array>
#include <string>

#include "update/ManifestLines.h"

namespace xcyh2 {
namespace {

bool IsForbiddenCharacter(char32_t c) {
    if (c < 0x20 || c == 0x7F) return true;
    constexpr std::u32string_view kForbidden = U"\\/:*?\"<>|";
    return kForbidden.find(c) != std::u32string_view::npos;
}

bool IsForbiddenByte(unsigned char byte) { return IsForbiddenCharacter(byte); }

// The system opens these devices whatever extension follows, and ignores spaces before it.
bool IsDeviceName(std::string_view name) {
    std::string stem(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (char& c : stem) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    constexpr std::array<std::string_view, 6> kDevices = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (std::string_view device : kDevices) {
        if (stem == device) return true;
    }
    return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) && stem[3] >= '1' &&
           stem[3] <= '9';
}

}  // namespace

bool IsPlainFileName(std::string_view name, LeadBytePredicate isLeadByte) {
    if (name.empty() || name.back() == '.' || name.back() == ' ') return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        unsigned char byte = static_cast<unsigned char>(name[i]);
        if (isLeadByte(byte) && i + 1 < name.size() &&
            ManifestLineSplitter::IsTrailByte(static_cast<unsigned char>(name[i + 1]))) {
            ++i;  // a double-byte character: its trail byte is no separator
            continue;
        }
        if (IsForbiddenByte(byte)) return false;
    }
    // "." and ".." end in a dot and are already out.
    return !IsDeviceName(name);
}

bool IsPlainFileName(std::wstring_view name) {
    if (name.empty() || name.back() == L'.' || name.back() == L' ') return false;
    std::string ascii;  // device names are ASCII: any other character makes the name none
    bool allAscii = true;
    for (wchar_t c : name) {
        if (IsForbiddenCharacter(static_cast<char32_t>(c))) return false;
        if (c >= 0x80) allAscii = false;
        else ascii.push_back(static_cast<char>(c));
    }
    if (allAscii) return !IsDeviceName(ascii);
    const std::size_t dot = name.find(L'.');
    const std::wstring_view stem = name.substr(0, dot);
    for (wchar_t c : stem) {
        if (c >= 0x80) return true;
    }
    return !IsDeviceName(std::string(ascii.begin(), ascii.begin() + static_cast<std::ptrdiff_t>(stem.size())));
}

}  // namespace xcyh2
