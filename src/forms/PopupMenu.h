// A popup menu: named items with captions, shown at the pointer and never on a menu bar. The
// chosen item's Click runs after the menu has closed, so a handler may close the window that
// showed it. A caption of "-" is a separator.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace xcyh2::forms {

class PopupMenu {
public:
    explicit PopupMenu(std::wstring caption = {}) : caption_(std::move(caption)) {}

    const std::wstring& Caption() const { return caption_; }

    // Appends an item; returns its Click event for the caller to set.
    std::function<void()>& Add(const std::wstring& name, const std::wstring& caption);
    void SetCaption(const std::wstring& name, const std::wstring& caption);
    std::wstring ItemCaption(const std::wstring& name) const;
    std::function<void()>& Click(const std::wstring& name);
    // Item names in menu order.
    std::vector<std::wstring> Names() const;

    // Shows the menu at the pointer for owner and waits for the choice; then runs the chosen
    // item's Click. Returns the chosen item's name, empty when nothing was chosen.
    std::wstring Popup(HWND owner);

    // Runs an item's Click as a choice from the menu would.
    void Choose(const std::wstring& name);

private:
    struct Item {
        std::wstring name;
        std::wstring caption;
        std::function<void()> click;
    };
    Item* Find(const std::wstring& name);
    const Item* Find(const std::wstring& name) const;

    std::wstring caption_;
    std::vector<Item> items_;
};

}  // namespace xcyh2::forms
