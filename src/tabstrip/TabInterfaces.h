// What a hosted form offers (ITabForm), what the strip offers its tabs (IuTab), and the few
// window calls the tab collection makes (TabWindowOps), kept behind a seam so the collection
// builds and is tested without windows.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "tabstrip/TabIndex.h"

struct HWND__;  // the platform's window handle is a pointer to this

namespace xcyh2 {

// A window handle as the collection sees it: the platform's HWND type, declared here so the
// collection builds without the platform headers.
using TabWnd = ::HWND__*;

class CTabItem;
class CTabItems;
class IuTab;

class ITabForm {
public:
    virtual ~ITabForm() = default;
    // The form's top-level window.
    virtual TabWnd hWnd() = 0;
    // The form is being given to a tab. It may keep the strip and, weakly, the item: the item
    // owns the form, so a strong reference back would keep both alive for ever.
    virtual void Initialize(IuTab* strip, const std::shared_ptr<CTabItem>& item) = 0;
    virtual void RefreshPage() = 0;
};

class IuTab {
public:
    virtual void Add(const std::wstring& caption, ITabForm& form, const std::optional<std::wstring>& key,
                     const TabIndex& index) = 0;
    virtual bool BeforeRemove(std::int32_t index) = 0;
    virtual void Remove(std::int32_t index) = 0;
    virtual void Clear() = 0;
    virtual void Redraw(bool update) = 0;
    virtual void ChangeForm(CTabItem& item, ITabForm& form) = 0;
    virtual std::int32_t Selected() const = 0;
    virtual void SetSelected(std::int32_t index) = 0;
    virtual CTabItems& TabItems() = 0;
    virtual TabWnd hWnd() const = 0;
    virtual TabWnd hParent() const = 0;

protected:
    ~IuTab() = default;
};

// The window side of the collection: reading a form window's style, activating the strip,
// unloading a form, and giving a form back as a free window.
class TabWindowOps {
public:
    virtual std::int32_t WindowStyle(TabWnd window) = 0;
    virtual void Activate(TabWnd window) = 0;
    virtual void UnloadForm(ITabForm& form) = 0;
    // Makes the form's window top-level again with its saved style, centred on the screen,
    // and invalidates the window that holds the strip.
    virtual void FreeForm(TabWnd window, std::int32_t savedStyle, TabWnd stripParent) = 0;

protected:
    ~TabWindowOps() = default;
};

}  // namespace xcyh2
