// The ordered, optionally keyed collection of tabs. Positions are 0-based, -1 means none.
// Keys are unique and compared without regard to letter case. Errors are the classic numbers:
// 5 for an index that is not a number, 9 for a position out of range, 457 for a duplicate key.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tabstrip/CTabItem.h"
#include "tabstrip/TabIndex.h"
#include "tabstrip/TabInterfaces.h"

namespace xcyh2 {

class CTabItems {
public:
    explicit CTabItems(TabWindowOps& ops) : ops_(ops) {}
    ~CTabItems();
    CTabItems(const CTabItems&) = delete;
    CTabItems& operator=(const CTabItems&) = delete;

    // Adds a tab for the form. The form is handed to its item (and so attached to the strip)
    // before the position is checked: a bad position or key leaves the form attached, without
    // a tab, and the error reaches the caller.
    bool Add(const std::wstring& caption, std::shared_ptr<ITabForm> form,
             const std::optional<std::wstring>& key = std::nullopt, const TabIndex& index = {});
    bool Remove(const TabIndex& index, bool unloadForm);
    bool Clear();
    std::int32_t FindItem(const TabIndex& index) const noexcept;
    bool ReleaseForm(const TabIndex& index);
    std::int32_t Count() const { return static_cast<std::int32_t>(entries_.size()); }
    // A text is a key (an unknown key is error 5); a number out of range gives nothing.
    std::shared_ptr<CTabItem> Item(const TabIndex& index) const;
    std::int32_t Selected() const;
    void SetSelected(std::int32_t index);

    void SetOwner(IuTab* owner) { owner_ = owner; }

private:
    struct Entry {
        std::shared_ptr<CTabItem> item;
        std::optional<std::wstring> key;  // folded to lower case
    };
    std::int32_t PositionOfKey(const std::wstring& key) const;
    std::int32_t PositionOf(const CTabItem* item) const;
    void UnloadFormOf(CTabItem& item);

    TabWindowOps& ops_;
    IuTab* owner_ = nullptr;
    std::vector<Entry> entries_;
};

}  // namespace xcyh2
