// The main window's frame: the drawn title bar `WebBForm`, the edges it prints around the pages
// onto the window's own surface, and the borderless styling `objStyle` that sizes and maximises
// the window. The title bar drags the window only while it is restored.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "base/DpiScale.h"
#include "controls/BForm.h"
#include "controls/Surface.h"
#include "winhooks/cSetStyle.h"

namespace xcyh2 {

class MainFrame {
public:
    // The title bar across the top of hwnd, width in pixels, at the window's scale.
    void Create(HWND hwnd, int width, const DpiScale& scale);
    void SetCaption(const std::wstring& caption) { WebBForm_.SetCaption(caption); }
    // Borderless, sized and maximised by objStyle, which also reports the system menu's Close;
    // the title bar drags the restored window.
    void SetWindowStyle(std::function<void()> closeClick);
    // The middle of the screen, size unchanged.
    void Centre() const;
    // Maximised over the screen above the taskbar, or back where it was; true when maximised.
    bool CallWindowStateChange();
    // A new scale (the window moved to another screen): the bar, the frame and the edges.
    void SetScale(const DpiScale& scale);
    // Full screen holds the window: no edge sizes it, the work area does not refit it.
    void Hold(bool held) {
        if (objStyle_) objStyle_->Hold(held);
    }
    // At every size change: the title bar across the top, the frame printed anew (client size
    // in pixels).
    void Resize(int width, int height, int clientWidth, int clientHeight);
    // WM_PAINT and its kin show the printed frame; false for other messages.
    bool PaintMessage(UINT msg, WPARAM wParam, LRESULT& result) const {
        return surface_.PaintMessage(hwnd_, msg, wParam, result);
    }
    // The styling's hook goes; the title bar stays until the window goes.
    void Release() { objStyle_.reset(); }

    HWND TitleBar() const { return WebBForm_.hWnd(); }
    const BForm& WebBForm() const { return WebBForm_; }
    const winhooks::cSetStyle* objStyle() const { return objStyle_.get(); }
    const Surface& FormSurface() const { return surface_; }

private:
    HWND hwnd_ = nullptr;
    DpiScale scale_;
    // The form's own drawn picture: the frame the title bar prints around the pages.
    Surface surface_;
    BForm WebBForm_;
    std::unique_ptr<winhooks::cSetStyle> objStyle_;
};

}  // namespace xcyh2
