#include "updater/PlainFileName.h"

#include <array>
#include <string>

#include "startup/ManifestLines.h"

namespace xcyh2 {
namespace {

bool IsForbiddenByte(unsigned char byte) {
    if (byte < 0x20 || byte == 0x7F) return true;
    constexpr std::string_view kForbidden = "\\/:*?\"<>|";
    return kForbidden.find(static_cast<char>(byte)) != std::string_view::npos;
}

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

}  // namespace xcyh2
