// The texts of the notification-area record: fixed byte fields in the ANSI code page, each a
// NUL-terminated string. Window-free, so the cutting rule is tested natively with a fixed code
// page.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "base/lead_byte.h"

namespace xcyh2::desktop {

// Stores `text` (code-page bytes) in `field` as a NUL-terminated string, cut to the field
// (at most its size - 1 bytes) and never between the two bytes of a double-byte character.
// The rest of the field is zeroed. Returns how many bytes of the text were kept.
std::size_t CopyToField(std::string_view text, std::span<char> field, LeadBytePredicate isLeadByte);

}  // namespace xcyh2::desktop
