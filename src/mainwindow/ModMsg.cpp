#include "mainwindow/ModMsg.h"

#include <map>

#include "base/EventLog.h"

namespace xcyh2::ModMsg {
namespace {

struct Hook {
    WNDPROC previous = nullptr;
    bool active = true;  // false: unhooked, only passing messages on
    bool hotKey = false;
    std::function<void()> onTrayMenu;
};

// By window; in practice one (user-interface thread only).
std::map<HWND, Hook>& Hooks() {
    static std::map<HWND, Hook> hooks;
    return hooks;
}

void Toggle(HWND hWnd) { ::ShowWindow(hWnd, ::IsWindowVisible(hWnd) ? SW_HIDE : SW_SHOW); }

}  // namespace

void HookMainWindow(HWND hWnd, std::function<void()> onTrayMenu) {
    if (!hWnd || Hooks().count(hWnd)) return;
    Hook hook;
    // Fails silently when another program holds F10: the tray and the menu still toggle.
    hook.hotKey = ::RegisterHotKey(hWnd, kHotKeyId, 0, kHotKey) != FALSE;
    hook.onTrayMenu = std::move(onTrayMenu);
    hook.previous = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainWindowProc)));
    Hooks()[hWnd] = std::move(hook);
}

void UnhookMainWindow(HWND hWnd) {
    auto it = Hooks().find(hWnd);
    if (it == Hooks().end()) return;
    ::UnregisterHotKey(hWnd, kHotKeyId);
    Hook& hook = it->second;
    hook.hotKey = false;
    hook.onTrayMenu = nullptr;
    auto current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
    if (current == &MainWindowProc) {
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hook.previous));
        Hooks().erase(it);
    } else {
        hook.active = false;  // forgotten at WM_NCDESTROY
    }
}

bool HotKeyRegistered(HWND hWnd) {
    auto it = Hooks().find(hWnd);
    return it != Hooks().end() && it->second.hotKey;
}

bool Hooked(HWND hWnd) {
    auto it = Hooks().find(hWnd);
    return it != Hooks().end() && it->second.active;
}

LRESULT CALLBACK MainWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    auto it = Hooks().find(hWnd);
    if (it == Hooks().end()) return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
    // Taken now: the handling below may unhook the window or close it.
    WNDPROC previous = it->second.previous;
    if (it->second.active) {
        try {
            if (uMsg == WM_HOTKEY && HIWORD(lParam) == kHotKey) {
                Toggle(hWnd);
            } else if (uMsg == kTrayMessage && lParam == WM_LBUTTONUP) {
                Toggle(hWnd);
            } else if (uMsg == kTrayMessage && lParam == WM_RBUTTONUP) {
                if (auto menu = it->second.onTrayMenu) menu();
            }
        } catch (...) {
            ReportCurrentException(L"ModMsg.MainWindowProc");
        }
    }
    LRESULT result = previous ? ::CallWindowProcW(previous, hWnd, uMsg, wParam, lParam)
                              : ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
    if (uMsg == WM_NCDESTROY) Hooks().erase(hWnd);
    return result;
}

}  // namespace xcyh2::ModMsg
