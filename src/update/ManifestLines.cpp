#include "update/ManifestLines.h"

namespace xcyh2 {

namespace {
constexpr std::string_view kVersionKey = "version";
}

void VersionKeySpotter::Character(std::string_view ch) {
    if (found_) return;
    char lowered = '\0';
    if (ch.size() == 1) {
        lowered = ch[0];
        if (lowered >= 'A' && lowered <= 'Z') lowered = static_cast<char>(lowered - 'A' + 'a');
    }
    // "version" has no prefix that is also its suffix, so a mismatch can only restart the match
    // at a "v".
    if (lowered == kVersionKey[matched_]) {
        found_ = ++matched_ == kVersionKey.size();
    } else {
        matched_ = lowered == kVersionKey[0] ? 1 : 0;
    }
}

}  // namespace xcyh2
