// The form message hook: every message of a chosen top-level window reaches the MsgCome event
// before the window's own procedure sees it. Its holder (the borderless styling) watches the
// main window through it. Simpler than the interception engine: one fixed subscription (all
// messages, before the window's procedure), no error reporting, and the windows are let go
// only when the object is destroyed.
//
// Each hooked window gets an entry with a window procedure of its own, so hooking one window
// twice chains two hooks. At destruction an entry puts the previous procedure back only while
// its own procedure is still the window's current one; under a hook installed later it stays
// in the chain and only passes messages on, so that hook is never cut off. An entry is never
// freed while one of its window's messages is inside it: MsgCome's handler may destroy the
// hook object.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace xcyh2::winhooks {

namespace detail {
struct FormHookEntry;
}

class cFormSubclass {
public:
    cFormSubclass();
    ~cFormSubclass();
    cFormSubclass(const cFormSubclass&) = delete;
    cFormSubclass& operator=(const cFormSubclass&) = delete;

    // bBefore: raised before the previous procedure. bHandled = true swallows the message, and
    // lReturn is then its result. A changed window, message or parameter is what the previous
    // procedure receives.
    std::function<void(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND& lng_hWnd, UINT& uMsg, WPARAM& wParam,
                       LPARAM& lParam)>
        MsgCome;

    // Hooks the window for every message, before its procedure. Always true.
    bool AddWindowMsgs(HWND hWnd);
    // Has no effect and returns false: windows are let go when the object is destroyed.
    bool DeleteWindowMsg(HWND hWnd);

private:
    static LRESULT CALLBACK HookProc(HWND entryArgument, UINT uMsg, WPARAM wParam, LPARAM lParam);
    void zSubclass_Proc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND& lng_hWnd, UINT& uMsg, WPARAM& wParam,
                        LPARAM& lParam);

    std::vector<detail::FormHookEntry*> entries_;  // in the order the windows were hooked
};

}  // namespace xcyh2::winhooks
