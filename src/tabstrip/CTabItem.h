// One tab: caption, hosted form, close-button flag, geometry and the host's data.
//
// Ownership: the collection holds its items (shared_ptr); an item holds its form (shared_ptr)
// and points at its strip without owning it. A form is handed the item as a shared_ptr in
// Initialize and keeps it as a weak_ptr, so there is no cycle: an item lives while it is in
// the list or the host holds it, and a form lives while its item or the host holds it.
// A tab closed with its form unloads the form and lets go of it; a tab removed with the form
// kept (Remove(p, false), ReleaseForm) lets go of it without unloading, so the form stays
// loaded for as long as someone else holds it. An item destroyed while it still holds a form
// (the collection going away with its tabs) unloads that form first. An item that leaves the
// list forgets its strip, so a tab that is gone never calls into a strip that may be gone.
#pragma once

#include <any>
#include <cstdint>
#include <memory>
#include <string>

#include "tabstrip/TabInterfaces.h"

namespace xcyh2 {

class CTabItem : public std::enable_shared_from_this<CTabItem> {
public:
    ~CTabItem();
    CTabItem(const CTabItem&) = delete;
    CTabItem& operator=(const CTabItem&) = delete;

    const std::wstring& Caption() const { return caption_; }
    void SetCaption(const std::wstring& caption);

    const std::shared_ptr<ITabForm>& Form() const { return form_; }
    void SetForm(std::shared_ptr<ITabForm> form);

    bool HideButton() const { return hideButton_; }
    void SetHideButton(bool hide);

    std::int32_t Left() const { return left_; }
    std::int32_t Width() const { return width_; }

    bool LockSize() const { return lockSize_; }
    void SetLockSize(bool lock);

    const std::any& ItemData() const { return itemData_; }
    void SetItemData(std::any data) { itemData_ = std::move(data); }

    // For the collection and the strip.
    IuTab* Owner() const { return owner_; }
    void SetOwner(IuTab* owner) { owner_ = owner; }
    void SetLeft(std::int32_t left) { left_ = left; }
    void SetWidth(std::int32_t width) { width_ = width; }
    std::int32_t SavedStyle() const { return savedStyle_; }
    void SetSavedStyle(std::int32_t style) { savedStyle_ = style; }
    // Lets go of the form without unloading it.
    std::shared_ptr<ITabForm> TakeForm() { return std::move(form_); }

private:
    friend class CTabItems;
    explicit CTabItem(TabWindowOps& ops) : ops_(&ops) {}
    static std::shared_ptr<CTabItem> Create(TabWindowOps& ops);

    TabWindowOps* ops_;
    std::wstring caption_;
    std::shared_ptr<ITabForm> form_;
    std::int32_t savedStyle_ = 0;
    bool hideButton_ = false;
    IuTab* owner_ = nullptr;
    std::int32_t left_ = 0;
    std::int32_t width_ = 0;
    bool lockSize_ = false;
    std::any itemData_;
};

}  // namespace xcyh2
