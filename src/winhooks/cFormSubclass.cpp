#include "winhooks/cFormSubclass.h"

#include <new>

#include "winhooks/MsgTable.h"
#include "winhooks/ProcedureStub.h"

namespace xcyh2::winhooks {

namespace detail {

struct FormHookEntry : xcyh2::detail::ExecutableRecord {
    WNDPROC Procedure() { return reinterpret_cast<WNDPROC>(&stub); }

    // Takes our procedure out of the window's chain if it is still the window's current one.
    // True once the entry is out of the chain (or the window is gone).
    bool Detach() {
        if (!attached) return true;
        if (windowGone || !::IsWindow(hwnd)) {
            attached = false;
            return true;
        }
        if (::GetWindowLongPtrW(hwnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(Procedure())) return false;
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc));
        attached = false;
        return true;
    }

    xcyh2::detail::ProcedureStub stub{};
    HWND hwnd = nullptr;
    WNDPROC previousProc = nullptr;
    cFormSubclass* owner = nullptr;  // null once the hook object is gone: messages only pass on
    MsgTable before;
    MsgTable after;
    long nesting = 0;        // messages of the window inside this entry right now
    bool attached = false;   // our procedure is (or may still be) in the window's chain
    bool windowGone = false; // WM_NCDESTROY has passed through
};

}  // namespace detail

using detail::FormHookEntry;

cFormSubclass::cFormSubclass() = default;

cFormSubclass::~cFormSubclass() {
    // Last hooked first, so two hooks of ours on one window come off in order.
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        FormHookEntry* entry = *it;
        entry->owner = nullptr;
        entry->before.Clear();
        entry->after.Clear();
        // An entry with a message inside, or under a later hook, goes when its window lets it.
        if (entry->Detach() && entry->nesting == 0) delete entry;
    }
}

bool cFormSubclass::AddWindowMsgs(HWND hWnd) {
    auto* entry = new (std::nothrow) FormHookEntry;
    if (!entry) return true;
    entry->hwnd = hWnd;
    entry->owner = this;
    const WNDPROC ours = entry->stub.Point(entry, &HookProc);
    const LONG_PTR previous = ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ours));
    if (!previous) {  // not a window of ours: nothing is hooked
        delete entry;
        return true;
    }
    entry->previousProc = reinterpret_cast<WNDPROC>(previous);
    entry->attached = true;
    entry->before.Add(ALL_MESSAGES);
    entries_.push_back(entry);
    return true;
}

bool cFormSubclass::DeleteWindowMsg(HWND) { return false; }

void cFormSubclass::zSubclass_Proc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND& lng_hWnd, UINT& uMsg,
                                   WPARAM& wParam, LPARAM& lParam) {
    // A copy: the handler may destroy this object, and with it MsgCome.
    if (auto handler = MsgCome) {
        try {
            handler(bBefore, bHandled, lReturn, lng_hWnd, uMsg, wParam, lParam);
        } catch (...) {
            // A failing handler must not take the window's own handling with it.
        }
    }
}

// Reached through an entry's stub: the first argument is the entry, not the window.
LRESULT CALLBACK cFormSubclass::HookProc(HWND entryArgument, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    FormHookEntry& entry = *reinterpret_cast<FormHookEntry*>(entryArgument);
    HWND hwnd = entry.hwnd;
    const UINT received = uMsg;
    ++entry.nesting;
    bool bHandled = false;
    LRESULT lReturn = 0;
    if (entry.owner && entry.before.Matches(uMsg)) {
        entry.owner->zSubclass_Proc(true, bHandled, lReturn, hwnd, uMsg, wParam, lParam);
    }
    if (!bHandled) {
        lReturn = ::CallWindowProcW(entry.previousProc, hwnd, uMsg, wParam, lParam);
        if (entry.owner && entry.after.Matches(uMsg)) {
            bool bAfterHandled = false;
            entry.owner->zSubclass_Proc(false, bAfterHandled, lReturn, hwnd, uMsg, wParam, lParam);
        }
    }
    --entry.nesting;
    if (received == WM_NCDESTROY) entry.windowGone = true;
    // The hook object is gone: leave the chain once nothing is inside and nobody sits above us.
    if (!entry.owner && entry.nesting == 0 && entry.Detach()) delete &entry;
    return lReturn;
}

}  // namespace xcyh2::winhooks
