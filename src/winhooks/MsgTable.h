// The message tables of the interception engine: which messages a window's holder sees before
// and after the window's own procedure. Window-free, so the rules are tested natively.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace xcyh2 {

inline constexpr long ALL_MESSAGES = -1;
inline constexpr int MSG_ENTRIES = 32;
enum eMsgWhen : long { MSG_BEFORE = 1, MSG_AFTER = 2, MSG_BEFORE_AND_AFTER = 3 };

// One value of ssc_DelMsg's open list; only the integer kinds name messages.
using MsgValue = std::variant<long, short, unsigned char, std::wstring, double>;

// The message number a value names, or false for the kinds that are skipped (text, fractions).
bool MsgNumberOf(const MsgValue& value, long& number);

// A count followed by MSG_ENTRIES slots. Count 0: nothing listed; ALL_MESSAGES: everything;
// 1..MSG_ENTRIES: the slots up to the count, where 0 marks a slot freed by a deletion.
class MsgTable {
public:
    enum class AddResult { Added, AlreadyListed, Overflow };

    AddResult Add(long uMsg);
    void Delete(long uMsg);
    void Clear() { count_ = 0; }

    // The per-message test: at most one scan of the listed slots, no allocation.
    bool Matches(std::uint32_t uMsg) const {
        if (count_ == ALL_MESSAGES) return true;
        for (std::int32_t i = 0; i < count_; ++i) {
            // A freed slot holds 0 and stands for no message, not for WM_NULL.
            if (slots_[i] != 0 && static_cast<std::uint32_t>(slots_[i]) == uMsg) return true;
        }
        return false;
    }

    std::int32_t Count() const { return count_; }
    // Slot 1..MSG_ENTRIES as the holder numbers them.
    std::int32_t Slot(int index) const { return slots_[index - 1]; }

private:
    std::int32_t count_ = 0;
    std::int32_t slots_[MSG_ENTRIES] = {};
};

}  // namespace xcyh2
