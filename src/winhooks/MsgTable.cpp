#include "winhooks/MsgTable.h"

namespace xcyh2 {

bool MsgNumberOf(const MsgValue& value, long& number) {
    if (const long* l = std::get_if<long>(&value)) number = *l;
    else if (const short* s = std::get_if<short>(&value)) number = *s;
    else if (const unsigned char* b = std::get_if<unsigned char>(&value)) number = *b;
    else return false;
    return true;
}

MsgTable::AddResult MsgTable::Add(long uMsg) {
    if (uMsg == ALL_MESSAGES) {
        count_ = ALL_MESSAGES;
        return AddResult::Added;
    }
    // 0 is what a free slot holds; it cannot be listed.
    if (uMsg == 0) return AddResult::AlreadyListed;
    const std::int32_t value = static_cast<std::int32_t>(uMsg);
    // From ALL_MESSAGES a single addition starts a fresh list.
    const std::int32_t listed = count_ > 0 ? count_ : 0;
    // Look for the message everywhere before reusing a free slot: a copy in a freed slot ahead
    // of the original would survive a later deletion, which frees only the first copy.
    std::int32_t firstFree = -1;
    for (std::int32_t i = 0; i < listed; ++i) {
        if (slots_[i] == value) return AddResult::AlreadyListed;
        if (slots_[i] == 0 && firstFree < 0) firstFree = i;
    }
    if (firstFree >= 0) {
        slots_[firstFree] = value;
        return AddResult::Added;
    }
    if (listed >= MSG_ENTRIES) return AddResult::Overflow;
    slots_[listed] = value;
    count_ = listed + 1;
    return AddResult::Added;
}

void MsgTable::Delete(long uMsg) {
    if (uMsg == ALL_MESSAGES) {
        count_ = 0;
        return;
    }
    const std::int32_t value = static_cast<std::int32_t>(uMsg);
    for (std::int32_t i = 0; i < count_; ++i) {
        if (slots_[i] == value) {
            slots_[i] = 0;
            return;
        }
    }
}

}  // namespace xcyh2
