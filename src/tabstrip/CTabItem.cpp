#include "tabstrip/CTabItem.h"

namespace xcyh2 {

std::shared_ptr<CTabItem> CTabItem::Create(TabWindowOps& ops) {
    return std::shared_ptr<CTabItem>(new CTabItem(ops));
}

CTabItem::~CTabItem() {
    if (auto form = std::move(form_)) {
        try {
            ops_->UnloadForm(*form);
        } catch (...) {
            // A destructor must not throw; the form is released below all the same.
        }
    }
}

void CTabItem::SetCaption(const std::wstring& caption) {
    caption_ = caption;
    if (owner_) owner_->Redraw(true);
}

void CTabItem::SetForm(std::shared_ptr<ITabForm> form) {
    form_ = std::move(form);
    if (!form_) return;
    auto keep = form_;  // the callbacks below may replace the item's form
    keep->Initialize(owner_, shared_from_this());
    if (owner_) owner_->ChangeForm(*this, *keep);
}

void CTabItem::SetHideButton(bool hide) {
    hideButton_ = hide;
    if (owner_) owner_->Redraw(true);
}

void CTabItem::SetLockSize(bool lock) {
    lockSize_ = lock;
    if (owner_) owner_->Redraw(true);
}

}  // namespace xcyh2
