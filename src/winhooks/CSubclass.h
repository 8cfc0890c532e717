// The message interception engine: one holder object sees chosen messages of any number of its
// process's windows before and/or after each window's own procedure, as the WindowProc event.
//
// Each intercepted window gets a record with a window procedure of its own that replaces the
// window's procedure and keeps the one it replaced; two engines on one window chain like any
// two window procedures. The record belongs to the engine, not to the holder: it lives from
// ssc_Subclass until 100 ms after the last message passed through it and is never freed while
// a message is inside it, so a holder may unsubclass, or destroy the engine, from inside its
// own WindowProc.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "winhooks/MsgTable.h"
#include "winhooks/SubclassError.h"

namespace xcyh2 {

namespace detail {
struct SubclassRecord;
}

// The holder's WindowProc event.
class ISubclassHandler {
public:
    virtual void WindowProc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND lng_hWnd, UINT uMsg,
                            WPARAM wParam, LPARAM lParam, LONG_PTR& lParamUser) = 0;

protected:
    ~ISubclassHandler() = default;
};

class CSubclass {
public:
    explicit CSubclass(ISubclassHandler& holder);
    ~CSubclass();  // runs ssc_Terminate
    CSubclass(const CSubclass&) = delete;
    CSubclass& operator=(const CSubclass&) = delete;

    // Asks the system for one WM_MOUSELEAVE when the pointer leaves the window.
    void TrackMouseTracking(HWND lng_hWnd);

    // bUnicode: in/out, may be null (= False). bIdeSafety has no effect; nOrdinal must be 1.
    bool ssc_Subclass(HWND lng_hWnd, LONG_PTR lParamUser = 0, long nOrdinal = 1, bool bIdeSafety = true,
                      bool* bUnicode = nullptr, bool bIsAPIwindow = false);
    void ssc_Terminate();
    void ssc_UnSubclass(HWND lng_hWnd);
    LRESULT ssc_CallOrigWndProc(HWND lng_hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    void ssc_AddMsg(HWND lng_hWnd, long uMsg, long When = MSG_AFTER);
    // Messages: "any number of further values"; values that are not integers are skipped.
    void ssc_DelMsg(HWND lng_hWnd, long When,
                    std::initializer_list<std::variant<long, short, unsigned char, std::wstring, double>> Messages);
    void zSet_lParamUser(HWND hWnd_Hook_ID, LONG_PTR NewValue);
    LONG_PTR zGet_lParamUser(HWND hWnd_Hook_ID);

    // Interception records of the whole process that are not yet freed (for leak checks).
    static long LiveRecordCount();

private:
    struct Entry {
        HWND hwnd;
        detail::SubclassRecord* record;  // null once the record has been freed
    };

    detail::SubclassRecord* Lookup(HWND hwnd, bool silent);
    void AddTo(MsgTable& table, long uMsg);
    void ForgetRecord(detail::SubclassRecord* record);

    static LRESULT CALLBACK InterceptProc(HWND recordArgument, UINT uMsg, WPARAM wParam, LPARAM lParam);
    static void ReleaseWhenIdle(detail::SubclassRecord& record);
    static void CancelRelease(detail::SubclassRecord& record);
    static void CALLBACK ReleaseTimerProc(HWND, UINT, UINT_PTR timerId, DWORD);
    static void FreeRecord(detail::SubclassRecord* record);

    ISubclassHandler& holder_;
    bool trackMouseInUser32_ = false;
    // Window registry in order of registration; absent until the first registration.
    std::optional<std::vector<Entry>> registry_;
};

}  // namespace xcyh2
