// The main window's tab strip `WebuTab` and the game pages it hosts: one tab per game address,
// the hovered tab's caption as the strip's tip, the empty part of the strip dragging the
// restored window, and the last tab closing the program instead of going.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "forms/ToolTip.h"
#include "mainwindow/MainKeys.h"
#include "mainwindow/PageZoom.h"
#include "mainwindow/WebUrl.h"
#include "tabstrip/uTab.h"

namespace xcyh2 {

class MainTabHost {
public:
    // What the window does for the strip.
    struct Events {
        std::function<void()> tabChanged;   // a tab was selected
        std::function<bool()> dragsWindow;  // the window is restored: the strip's empty part drags it
        std::function<void()> closeLast;    // the last tab's close mark: the close command
    };

    // The strip inside hwnd (pixels; its height is its own) with its tip.
    void Create(HWND hwnd, int x, int y, int width, Events events);
    // The tab pages' container; drawing starts.
    void SetContainer(HWND container);
    // Selects the address's tab, or opens a new page for it; an open page is not reloaded.
    void OpenGameTab(const std::wstring& strURL, const WebUrl::BrowserFactory& browserFactory,
                     const WebUrl::ShellOpen& shellOpen);
    void RefreshPage();
    // What the main window's keys are decided on.
    TabState State(bool fullScreen);
    // Selects a tab by its index; an index out of range selects nothing.
    void Select(std::int32_t index);
    // The selected tab's page zoom steps (ZoomIn, ZoomOut, ZoomReset). False: no tab took it.
    bool Zoom(KeyAction action);
    // Ctrl+wheel: the selected tab's zoom, a step per notch (delta as WM_MOUSEWHEEL gives it).
    // False: no tab took it.
    bool ZoomWheel(int delta);
    // The window's scale: every page's zoom is multiplied by it, new pages' too.
    void SetScale(const DpiScale& scale);
    // Every tab and its page released; the strip stays until Destroy.
    void Clear();
    // The strip and its tip go (also from inside the strip's own event).
    void Destroy();

    uTab* WebuTab() const { return WebuTab_.get(); }
    const forms::ToolTip& TabToolTip() const { return tabToolTip_; }

private:
    WebUrl* SelectedPage();

    void WebuTab_TabChanged();
    void WebuTab_OnMouseDown(std::int32_t index, short& button, short& shift, float& x, float& y);
    void WebuTab_OnMouseHover(std::int32_t index, short& button, short& shift, float& x, float& y);
    void WebuTab_OnMouseMove(std::int32_t index, short& button, short& shift, float& x, float& y);
    void WebuTab_OnItemColose(std::int32_t index, bool& Cancel);

    HWND hwnd_ = nullptr;
    Events events_;
    std::unique_ptr<uTab> WebuTab_;
    forms::ToolTip tabToolTip_;
    WheelZoomSteps wheel_;
    DpiScale scale_;
};

}  // namespace xcyh2
