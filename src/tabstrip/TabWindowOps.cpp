#include "tabstrip/TabWindowOps.h"

#include <windows.h>

#include "base/rounding.h"
#include "forms/Form.h"

namespace xcyh2 {

namespace {
HWND AsHwnd(TabWnd w) { return w; }

class Win32Ops final : public TabWindowOps {
public:
    std::int32_t WindowStyle(TabWnd window) override { return ::GetWindowLongA(AsHwnd(window), GWL_STYLE); }

    void Activate(TabWnd window) override { ::SetActiveWindow(AsHwnd(window)); }

    void UnloadForm(ITabForm& form) override {
        // A form of the forms runtime unloads with its events; any other window just closes.
        if (auto* f = dynamic_cast<forms::Form*>(&form)) {
            f->Unload();
        } else if (HWND hwnd = AsHwnd(form.hWnd()); hwnd && ::IsWindow(hwnd)) {
            ::DestroyWindow(hwnd);
        }
    }

    void FreeForm(TabWnd window, std::int32_t savedStyle, TabWnd stripParent) override {
        HWND hwnd = AsHwnd(window);
        ::SetParent(hwnd, nullptr);
        int screenW = ::GetSystemMetrics(SM_CXSCREEN);
        int screenH = ::GetSystemMetrics(SM_CYSCREEN);
        RECT r{};
        ::GetWindowRect(hwnd, &r);
        ::SetWindowLongA(hwnd, GWL_STYLE, savedStyle);
        int x = RoundHalfEven((screenW - (r.right - r.left)) / 2.0);
        int y = RoundHalfEven((screenH - (r.bottom - r.top)) / 2.0);
        ::SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_SHOWWINDOW | SWP_FRAMECHANGED | SWP_NOSIZE);
        ::RedrawWindow(AsHwnd(stripParent), nullptr, nullptr, RDW_INVALIDATE | RDW_INTERNALPAINT);
    }
};
}  // namespace

TabWindowOps& Win32TabWindowOps() {
    static Win32Ops ops;
    return ops;
}

}  // namespace xcyh2
