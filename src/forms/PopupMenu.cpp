#include "forms/PopupMenu.h"

#include <stdexcept>

#include "base/win_handles.h"

namespace xcyh2::forms {

PopupMenu::Item* PopupMenu::Find(const std::wstring& name) {
    for (Item& item : items_)
        if (item.name == name) return &item;
    return nullptr;
}

const PopupMenu::Item* PopupMenu::Find(const std::wstring& name) const {
    return const_cast<PopupMenu*>(this)->Find(name);
}

std::function<void()>& PopupMenu::Add(const std::wstring& name, const std::wstring& caption) {
    if (Find(name)) throw std::invalid_argument("menu item names are unique");
    items_.push_back({name, caption, {}});
    return items_.back().click;
}

void PopupMenu::SetCaption(const std::wstring& name, const std::wstring& caption) {
    if (Item* item = Find(name)) item->caption = caption;
}

std::wstring PopupMenu::ItemCaption(const std::wstring& name) const {
    const Item* item = Find(name);
    return item ? item->caption : std::wstring();
}

std::function<void()>& PopupMenu::Click(const std::wstring& name) {
    Item* item = Find(name);
    if (!item) throw std::invalid_argument("no such menu item");
    return item->click;
}

std::vector<std::wstring> PopupMenu::Names() const {
    std::vector<std::wstring> names;
    for (const Item& item : items_) names.push_back(item.name);
    return names;
}

std::wstring PopupMenu::Popup(HWND owner) {
    unique_hmenu menu(::CreatePopupMenu());
    if (!menu) return {};
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const Item& item = items_[i];
        if (item.caption == L"-") ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        else ::AppendMenuW(menu.get(), MF_STRING, i + 1, item.caption.c_str());
    }
    POINT at{};
    ::GetCursorPos(&at);
    // A menu shown for a window in the background (the tray icon's) closes when the player
    // clicks elsewhere only if that window is in the foreground while it tracks.
    ::SetForegroundWindow(owner);
    UINT chosen = ::TrackPopupMenuEx(menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, owner,
                                     nullptr);
    ::PostMessageW(owner, WM_NULL, 0, 0);
    menu.reset();
    if (chosen == 0 || chosen > items_.size()) return {};
    std::wstring name = items_[chosen - 1].name;
    Choose(name);
    return name;
}

void PopupMenu::Choose(const std::wstring& name) {
    const Item* item = Find(name);
    if (!item) return;
    // From a copy: the handler may change the menu or destroy its owner.
    if (auto click = item->click) click();
}

}  // namespace xcyh2::forms
