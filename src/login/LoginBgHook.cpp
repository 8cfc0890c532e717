#include "login/LoginBgHook.h"

#include "base/EventLog.h"
#include "login/LoginBgFrm.h"

namespace xcyh2 {
namespace {
WNDPROC g_previousLoginBgProc = nullptr;  // the one module-wide slot
}

void HookLoginBg(HWND hwnd) {
    if (g_previousLoginBgProc) return;  // already hooked: keep the first previous procedure
    g_previousLoginBgProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LoginBgWndProc)));
}

void UnhookLoginBg(HWND hwnd) {
    if (!g_previousLoginBgProc) return;
    ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_previousLoginBgProc));
    g_previousLoginBgProc = nullptr;
}

LRESULT CALLBACK LoginBgWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_MOVE) {
        try {
            // The hooked window is the login background, which knows its page window.
            if (auto* background = dynamic_cast<LoginBgFrm*>(forms::Window::FromHandle(hwnd))) {
                RECT r;
                ::GetWindowRect(hwnd, &r);
                background->TakePageAlong(r.left, r.top);
            }
        } catch (...) {
            ReportCurrentException(L"LoginBgHook.WM_MOVE");
        }
    }
    WNDPROC previous = g_previousLoginBgProc;
    if (!previous) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    return ::CallWindowProcW(previous, hwnd, msg, wParam, lParam);
}

}  // namespace xcyh2
