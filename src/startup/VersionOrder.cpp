#include "startup/VersionOrder.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

namespace xcyh2 {
namespace {

std::optional<std::vector<std::uint32_t>> ParseParts(std::string_view text) {
    std::vector<std::uint32_t> parts;
    std::size_t at = 0;
    for (;;) {
        std::size_t digits = 0;
        std::uint32_t value = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
            if (++digits > kMaxVersionDigits) return std::nullopt;
            value = value * 10 + static_cast<std::uint32_t>(text[at++] - '0');
        }
        if (digits == 0) return std::nullopt;
        parts.push_back(value);
        if (at == text.size()) return parts;
        if (text[at++] != '.') return std::nullopt;
    }
}

}  // namespace

VersionOrder CompareVersions(std::string_view first, std::string_view second) {
    auto a = ParseParts(first);
    auto b = ParseParts(second);
    if (!a || !b) return VersionOrder::NotComparable;
    std::size_t count = std::max(a->size(), b->size());
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t x = i < a->size() ? (*a)[i] : 0;
        std::uint32_t y = i < b->size() ? (*b)[i] : 0;
        if (x != y) return x < y ? VersionOrder::Older : VersionOrder::Newer;
    }
    return VersionOrder::Same;
}

}  // namespace xcyh2
