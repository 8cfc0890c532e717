#include "update/VersionOrder.h"

#include <cstdint>

namespace xcyh2 {
namespace {

// Reads the next part of a version from at; a version that has ended reads as 0. False when the
// text there is not a part of a version.
bool NextPart(std::string_view text, std::size_t& at, std::uint32_t& value) {
    value = 0;
    if (at > text.size()) return true;  // past the end: a missing part
    std::size_t digits = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        if (++digits > kMaxVersionDigits) return false;
        value = value * 10 + static_cast<std::uint32_t>(text[at++] - '0');
    }
    if (digits == 0) return false;
    if (at == text.size()) {
        ++at;  // the last part: from now on past the end
        return true;
    }
    return text[at++] == '.' && at < text.size();
}

}  // namespace

VersionOrder CompareVersions(std::string_view first, std::string_view second) {
    std::size_t a = 0, b = 0;
    VersionOrder order = VersionOrder::Same;
    // Both are read to their ends, so that a difference in an early part does not hide garbage
    // in a later one.
    while (a <= first.size() || b <= second.size()) {
        std::uint32_t x = 0, y = 0;
        if (!NextPart(first, a, x) || !NextPart(second, b, y)) return VersionOrder::NotComparable;
        if (order == VersionOrder::Same && x != y) order = x < y ? VersionOrder::Older : VersionOrder::Newer;
    }
    return order;
}

}  // namespace xcyh2
