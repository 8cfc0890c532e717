#include "winhooks/CSubclass.h"

#include <algorithm>
#include <memory>
#include <new>

#include "base/SystemLibraries.h"
#include "base/decimal.h"
#include "base/win_handles.h"
#include "winhooks/SubclassRecord.h"

namespace xcyh2 {

using detail::RecordState;
using detail::SubclassRecord;

namespace {
const std::wstring kLookup = L"zMap_VFunction";

// Whether a window procedure value is an address of executable code in this process. The
// system hands out a handle instead when the procedure expects the other character set; such a
// handle is never committed code, and only CallWindowProc may be used with it.
bool IsPlainCode(WNDPROC proc) {
    MEMORY_BASIC_INFORMATION info{};
    if (!::VirtualQuery(reinterpret_cast<const void*>(proc), &info, sizeof(info))) return false;
    const DWORD executable = PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    return info.State == MEM_COMMIT && (info.Protect & executable) != 0 && (info.Protect & PAGE_GUARD) == 0;
}

}  // namespace

CSubclass::CSubclass(ISubclassHandler& holder) : holder_(holder) {
    unique_hmodule user32(::LoadLibraryW(L"User32"));
    trackMouseInUser32_ = user32 && ::GetProcAddress(user32.get(), "TrackMouseEvent") != nullptr;
}

CSubclass::~CSubclass() { ssc_Terminate(); }

void CSubclass::TrackMouseTracking(HWND lng_hWnd) {
    TRACKMOUSEEVENT request{};
    request.cbSize = sizeof(request);
    request.dwFlags = TME_LEAVE;
    request.hwndTrack = lng_hWnd;
    request.dwHoverTime = 0;
    if (trackMouseInUser32_) {
        ::TrackMouseEvent(&request);
        return;
    }
    sys::comctl32().TrackMouseEvent.call_or(FALSE, &request);
}

bool CSubclass::ssc_Subclass(HWND lng_hWnd, LONG_PTR lParamUser, long nOrdinal, bool /*bIdeSafety*/,
                             bool* bUnicode, bool bIsAPIwindow) {
    auto fail = [](const std::wstring& text) {
        ReportSubclassError(L"ssc_Subclass", text);
        return false;
    };
    if (!::IsWindow(lng_hWnd)) return fail(L"Invalid window handle");
    DWORD process = 0;
    ::GetWindowThreadProcessId(lng_hWnd, &process);
    if (process != ::GetCurrentProcessId()) return fail(L"Window handle belongs to another process");
    // One callback routine exists, the one that raises WindowProc: ordinal 1.
    if (nOrdinal != 1) return fail(L"Callback method not found");

    std::unique_ptr<SubclassRecord> record(new (std::nothrow) SubclassRecord);
    if (!record) return fail(L"VirtualAlloc failed, error: " + DecimalText(ERROR_NOT_ENOUGH_MEMORY));

    if (!registry_) registry_.emplace();
    for (const Entry& entry : *registry_) {
        if (entry.hwnd == lng_hWnd) return fail(L"Window handle is already subclassed");
    }
    registry_->push_back({lng_hWnd, nullptr});

    record->hwnd = lng_hWnd;
    record->lParamUser = lParamUser;
    record->destroyOnCallbackLost = bIsAPIwindow;
    bool unicode = bUnicode && *bUnicode;
    if (unicode) unicode = ::IsWindowUnicode(lng_hWnd) != FALSE;
    if (bUnicode) *bUnicode = unicode;
    record->unicode = unicode;

    // Install the record's own procedure; the value it replaced is the previous procedure.
    const LONG_PTR ours = reinterpret_cast<LONG_PTR>(record->Procedure(&InterceptProc));
    record->owner = this;
    ::SetLastError(0);
    const LONG_PTR previous = unicode ? ::SetWindowLongPtrW(lng_hWnd, GWLP_WNDPROC, ours)
                                      : ::SetWindowLongPtrA(lng_hWnd, GWLP_WNDPROC, ours);
    if (!previous) {
        // The entry stays behind with no record: look-ups find nothing until it is removed.
        return fail(L"SetWindowLong failed, error #" + DecimalText(::GetLastError()));
    }
    record->previousProc = reinterpret_cast<WNDPROC>(previous);
    // Calling plain code directly saves the platform's dispatch on every forwarded message.
    if (IsPlainCode(record->previousProc)) record->directProc = record->previousProc;
    record->attached = true;
    registry_->back().record = record.release();
    return true;
}

SubclassRecord* CSubclass::Lookup(HWND hwnd, bool silent) {
    if (!registry_) {
        ReportSubclassError(kLookup, L"Thunk hasn't been initialized");
        return nullptr;
    }
    if (registry_->empty()) return nullptr;
    auto it = std::find_if(registry_->begin(), registry_->end(), [hwnd](const Entry& e) { return e.hwnd == hwnd; });
    if (it == registry_->end()) {
        // The window is not named in the text: the blank between "for" and "does" stays empty.
        if (!silent) ReportSubclassError(kLookup, L"Thunk type for  does not exist");
        return nullptr;
    }
    return it->record;  // null when already released
}

void CSubclass::ssc_Terminate() {
    if (!registry_) return;
    // Last registered first; each unsubclass removes its own entry.
    for (std::size_t i = registry_->size(); i-- > 0;) {
        if (i < registry_->size() && (*registry_)[i].record) ssc_UnSubclass((*registry_)[i].hwnd);
    }
    registry_.reset();
}

void CSubclass::ssc_UnSubclass(HWND lng_hWnd) {
    if (SubclassRecord* record = Lookup(lng_hWnd, true)) {
        record->state = RecordState::ReleaseRequested;
        record->before.Clear();
        record->after.Clear();
        record->owner = nullptr;
        // Inside one of the window's messages the record lets go when that message is done;
        // otherwise now, so that an idle window does not keep the record alive.
        if (record->nesting == 0) ReleaseWhenIdle(*record);
    }
    if (registry_) {
        auto it = std::find_if(registry_->begin(), registry_->end(),
                               [lng_hWnd](const Entry& e) { return e.hwnd == lng_hWnd; });
        if (it != registry_->end()) registry_->erase(it);
    }
}

LRESULT CSubclass::ssc_CallOrigWndProc(HWND lng_hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    SubclassRecord* record = Lookup(lng_hWnd, false);
    if (!record) return 0;
    return record->unicode ? ::CallWindowProcW(record->previousProc, lng_hWnd, uMsg, wParam, lParam)
                           : ::CallWindowProcA(record->previousProc, lng_hWnd, uMsg, wParam, lParam);
}

void CSubclass::AddTo(MsgTable& table, long uMsg) {
    if (table.Add(uMsg) == MsgTable::AddResult::Overflow) {
        ReportSubclassError(L"zAddMsg",
                            L"Message table overflow. Either increase the value of Const MSG_ENTRIES or use "
                            L"ALL_MESSAGES instead of specific message values");
    }
}

void CSubclass::ssc_AddMsg(HWND lng_hWnd, long uMsg, long When) {
    SubclassRecord* record = Lookup(lng_hWnd, false);
    if (!record) return;
    if (When & MSG_BEFORE) AddTo(record->before, uMsg);
    if (When & MSG_AFTER) AddTo(record->after, uMsg);
}

void CSubclass::ssc_DelMsg(HWND lng_hWnd, long When, std::initializer_list<MsgValue> Messages) {
    SubclassRecord* record = Lookup(lng_hWnd, false);
    if (!record) return;
    for (const MsgValue& value : Messages) {
        long uMsg = 0;
        if (!MsgNumberOf(value, uMsg)) continue;
        if (When & MSG_BEFORE) record->before.Delete(uMsg);
        if (When & MSG_AFTER) record->after.Delete(uMsg);
    }
}

void CSubclass::zSet_lParamUser(HWND hWnd_Hook_ID, LONG_PTR NewValue) {
    if (SubclassRecord* record = Lookup(hWnd_Hook_ID, false)) record->lParamUser = NewValue;
}

LONG_PTR CSubclass::zGet_lParamUser(HWND hWnd_Hook_ID) {
    SubclassRecord* record = Lookup(hWnd_Hook_ID, false);
    return record ? record->lParamUser : 0;
}

}  // namespace xcyh2
