// How two versions written as dotted decimal numbers ("1.10.0") stand to each other. The
// numbers are compared as numbers, part by part: 1.10.0 is newer than 1.9.0, and missing parts
// count as 0, so 1.1 and 1.1.0 are the same version. No window, no platform calls.
#pragma once

#include <cstddef>
#include <string_view>

namespace xcyh2 {

enum class VersionOrder {
    Older,          // the first is older than the second
    Same,           // the same version, however it is written
    Newer,          // the first is newer than the second
    NotComparable,  // either is not dotted decimal numbers
};

// A version is one or more parts of 1 to kMaxVersionDigits decimal digits, joined by single
// dots, with nothing else around them: "1", "1.1.0", "01.2". Anything else ("", "1.", "1..2",
// " 1.0", "1.0b", "v1", a part of more digits) is not comparable.
VersionOrder CompareVersions(std::string_view first, std::string_view second);

// More digits than this in one part is not a version number anyone publishes.
inline constexpr std::size_t kMaxVersionDigits = 9;

}  // namespace xcyh2
