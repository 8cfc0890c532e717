#include "tabstrip/CTabItems.h"

#include <cwctype>

#include "base/classic_error.h"

namespace xcyh2 {

namespace {
std::wstring FoldKey(const std::wstring& key) {
    std::wstring folded = key;
    for (auto& c : folded) c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
    return folded;
}
}  // namespace

CTabItems::~CTabItems() {
    // The strip goes with its collection: items the host still holds must not call it.
    for (auto& e : entries_) e.item->SetOwner(nullptr);
}

std::int32_t CTabItems::PositionOfKey(const std::wstring& key) const {
    std::wstring folded = FoldKey(key);
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].key && *entries_[i].key == folded) return static_cast<std::int32_t>(i);
    return -1;
}

std::int32_t CTabItems::PositionOf(const CTabItem* item) const {
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].item.get() == item) return static_cast<std::int32_t>(i);
    return -1;
}

void CTabItems::UnloadFormOf(CTabItem& item) {
    if (auto form = item.TakeForm()) ops_.UnloadForm(*form);
}

bool CTabItems::Add(const std::wstring& caption, std::shared_ptr<ITabForm> form,
                    const std::optional<std::wstring>& key, const TabIndex& index) {
    if (!form) throw ClassicError(ClassicError::kInvalidArgument);
    std::int32_t style = ops_.WindowStyle(form->hWnd());
    auto item = CTabItem::Create(ops_);
    item->SetSavedStyle(style);
    item->SetOwner(owner_);
    form->Initialize(owner_, item);
    item->SetCaption(caption);
    item->SetForm(form);

    // From here on a failure leaves the form attached to the strip without a tab; the item must
    // not take the form with it when it goes.
    auto dropItem = [&] { item->TakeForm(), item->SetOwner(nullptr); };
    std::optional<std::wstring> folded;
    if (key) {
        folded = FoldKey(*key);
        if (PositionOfKey(*key) >= 0) {
            dropItem();
            throw ClassicError(ClassicError::kDuplicateKey);
        }
    }
    std::size_t position = entries_.size();
    if (!index.IsMissing()) {
        std::optional<double> number;
        if (auto n = index.Number()) number = *n;
        else if (auto text = index.Key()) number = NumberInText(*text);
        if (!number) {
            dropItem();
            throw ClassicError(ClassicError::kInvalidArgument);
        }
        auto n = PositionFromNumber(*number);
        if (!n || *n < 0 || *n > Count()) {
            dropItem();
            throw ClassicError(ClassicError::kSubscriptOutOfRange);
        }
        position = static_cast<std::size_t>(*n);
    }
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(position), Entry{item, folded});

    if (owner_) {
        owner_->Add(caption, *form, key, index);
        ops_.Activate(owner_->hWnd());
    }
    return true;
}

bool CTabItems::Remove(const TabIndex& index, bool unloadForm) {
    std::int32_t p = FindItem(index);
    if (p < 0) return false;
    auto item = entries_[static_cast<std::size_t>(p)].item;
    if (owner_ && !owner_->BeforeRemove(p)) return false;
    // The host's handler runs inside BeforeRemove and may have changed the list.
    p = PositionOf(item.get());
    if (p < 0) return false;
    entries_.erase(entries_.begin() + p);
    if (owner_) owner_->Remove(p);
    if (unloadForm) UnloadFormOf(*item);
    else item->TakeForm();  // kept loaded: it now belongs to whoever else holds it
    item->SetOwner(nullptr);
    return true;
}

bool CTabItems::Clear() {
    // Forms are unloaded in position order; the list may change under a form's unload handler,
    // so walk a copy.
    std::vector<Entry> entries = entries_;
    for (auto& e : entries) UnloadFormOf(*e.item);
    entries_.clear();
    for (auto& e : entries) e.item->SetOwner(nullptr);
    entries.clear();
    if (owner_) owner_->Clear();
    return false;
}

std::int32_t CTabItems::FindItem(const TabIndex& index) const noexcept {
    if (entries_.empty()) return -1;
    if (auto key = index.Key()) return PositionOfKey(*key);
    if (auto number = index.Number()) {
        auto n = PositionFromNumber(*number);
        if (!n || *n < 0 || *n > Count() - 1) return -1;
        return *n;
    }
    if (auto form = index.Form()) {
        for (std::size_t i = 0; i < entries_.size(); ++i)
            if (entries_[i].item->Form().get() == form) return static_cast<std::int32_t>(i);
        return -1;
    }
    if (auto item = index.Item()) return PositionOf(item);
    return -1;
}

bool CTabItems::ReleaseForm(const TabIndex& index) {
    std::int32_t p = FindItem(index);
    if (p < 0) return false;
    auto item = entries_[static_cast<std::size_t>(p)].item;
    auto form = item->Form();
    std::int32_t savedStyle = item->SavedStyle();
    // When the host vetoes the removal the tab stays, and so does its form.
    if (!Remove(p, false) || !form) return false;
    ops_.FreeForm(form->hWnd(), savedStyle, owner_ ? owner_->hParent() : nullptr);
    return false;
}

std::shared_ptr<CTabItem> CTabItems::Item(const TabIndex& index) const {
    if (auto key = index.Key()) {
        std::int32_t p = PositionOfKey(*key);
        if (p < 0) throw ClassicError(ClassicError::kInvalidArgument);
        return entries_[static_cast<std::size_t>(p)].item;
    }
    if (auto number = index.Number()) {
        auto n = PositionFromNumber(*number);
        if (!n || *n < 0 || *n > Count() - 1) return nullptr;
        return entries_[static_cast<std::size_t>(*n)].item;
    }
    if (index.IsMissing()) throw ClassicError(ClassicError::kInvalidArgument);
    return nullptr;
}

std::int32_t CTabItems::Selected() const { return owner_ ? owner_->Selected() : -1; }

void CTabItems::SetSelected(std::int32_t index) {
    if (owner_) owner_->SetSelected(index);
}

}  // namespace xcyh2
