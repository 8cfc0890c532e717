#include "desktop/NotifyText.h"

#include <algorithm>
#include <cstring>

namespace xcyh2::desktop {

std::size_t CopyToField(std::string_view text, std::span<char> field, LeadBytePredicate isLeadByte) {
    if (field.empty()) return 0;
    const std::size_t room = field.size() - 1;  // one byte for the terminator
    std::size_t kept = 0;
    while (kept < text.size()) {
        const bool pair = isLeadByte(static_cast<unsigned char>(text[kept])) && kept + 1 < text.size();
        const std::size_t width = pair ? 2 : 1;
        if (kept + width > room) break;
        kept += width;
    }
    std::memcpy(field.data(), text.data(), kept);
    std::fill(field.begin() + static_cast<std::ptrdiff_t>(kept), field.end(), '\0');
    return kept;
}

}  // namespace xcyh2::desktop
