// The message path of the interception engine and the deferred release of its records.
#include "winhooks/CSubclass.h"

#include <algorithm>
#include <vector>

#include "winhooks/SubclassError.h"
#include "winhooks/SubclassRecord.h"

namespace xcyh2 {
namespace detail {
namespace {

long g_liveRecords = 0;

// Records out of the window's chain, waiting for their release timer. A thread timer carries
// no data of its own, so its identifier is matched here.
std::vector<SubclassRecord*>& PendingReleases() {
    static std::vector<SubclassRecord*> pending;
    return pending;
}

}  // namespace

SubclassRecord::SubclassRecord() : stub{} { ++g_liveRecords; }
SubclassRecord::~SubclassRecord() { --g_liveRecords; }

WNDPROC SubclassRecord::Procedure(LRESULT(CALLBACK* shared)(HWND, UINT, WPARAM, LPARAM)) {
    return stub.Point(this, shared);
}

}  // namespace detail

using detail::RecordState;
using detail::SubclassRecord;

long CSubclass::LiveRecordCount() { return detail::g_liveRecords; }

namespace {

LRESULT Forward(SubclassRecord& record, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (record.directProc) return record.directProc(record.hwnd, uMsg, wParam, lParam);
    return record.unicode ? ::CallWindowProcW(record.previousProc, record.hwnd, uMsg, wParam, lParam)
                          : ::CallWindowProcA(record.previousProc, record.hwnd, uMsg, wParam, lParam);
}

}  // namespace

// Reached through a record's stub: the first argument is the record, not the window.
LRESULT CALLBACK CSubclass::InterceptProc(HWND recordArgument, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    SubclassRecord& record = *reinterpret_cast<SubclassRecord*>(recordArgument);
    const HWND hwnd = record.hwnd;
    ++record.nesting;
    // A message still reaching a record that waits for release: it is not idle after all.
    if (record.releaseTimer) CancelRelease(record);
    LRESULT lReturn = 0;
    if (record.state == RecordState::Active && !record.owner) record.state = RecordState::CallbackLost;
    if (record.state != RecordState::Active) {
        lReturn = Forward(record, uMsg, wParam, lParam);
    } else {
        bool bHandled = false;
        if (record.before.Matches(uMsg)) {
            record.owner->holder_.WindowProc(true, bHandled, lReturn, hwnd, uMsg, wParam, lParam, record.lParamUser);
        }
        if (!bHandled) {
            lReturn = Forward(record, uMsg, wParam, lParam);
            // The holder may have let go of the window (or of the engine) in the meantime.
            if (record.owner && record.after.Matches(uMsg)) {
                bool bAfterHandled = false;
                record.owner->holder_.WindowProc(false, bAfterHandled, lReturn, hwnd, uMsg, wParam, lParam,
                                                 record.lParamUser);
            }
        }
    }
    --record.nesting;
    if (uMsg == WM_NCDESTROY) record.state = RecordState::WindowDestroyed;
    if (record.nesting == 0 && record.state != RecordState::Active) ReleaseWhenIdle(record);
    return lReturn;
}

// Puts the previous procedure back and frees the record 100 ms later. Called only when no
// message of the window is inside the record.
void CSubclass::ReleaseWhenIdle(SubclassRecord& record) {
    if (record.attached) {
        if (::IsWindow(record.hwnd)) {
            const WNDPROC ours = reinterpret_cast<WNDPROC>(&record.stub);
            const WNDPROC current =
                reinterpret_cast<WNDPROC>(record.unicode ? ::GetWindowLongPtrW(record.hwnd, GWLP_WNDPROC)
                                                         : ::GetWindowLongPtrA(record.hwnd, GWLP_WNDPROC));
            if (current == ours) {
                const auto previous = reinterpret_cast<LONG_PTR>(record.previousProc);
                if (record.unicode) ::SetWindowLongPtrW(record.hwnd, GWLP_WNDPROC, previous);
                else ::SetWindowLongPtrA(record.hwnd, GWLP_WNDPROC, previous);
            } else if (record.state != RecordState::WindowDestroyed) {
                // Someone replaced our procedure after us and calls it as their previous one:
                // putting ours back now would cut them off. Keep forwarding and retry after the
                // next message, by which time they may have let go. (After WM_NCDESTROY no
                // message follows, so a destroyed window's record goes regardless.)
                return;
            }
        }
        record.attached = false;
        if (record.state == RecordState::CallbackLost && record.destroyOnCallbackLost) ::DestroyWindow(record.hwnd);
    }
    if (record.releaseTimer) return;
    record.releaseTimer = ::SetTimer(nullptr, 0, 100, &ReleaseTimerProc);
    if (!record.releaseTimer) {
        FreeRecord(&record);  // out of the chain and idle: no reason to wait
        return;
    }
    detail::PendingReleases().push_back(&record);
}

void CSubclass::CancelRelease(SubclassRecord& record) {
    ::KillTimer(nullptr, record.releaseTimer);
    auto& pending = detail::PendingReleases();
    pending.erase(std::remove(pending.begin(), pending.end(), &record), pending.end());
    record.releaseTimer = 0;
}

void CALLBACK CSubclass::ReleaseTimerProc(HWND, UINT, UINT_PTR timerId, DWORD) {
    ::KillTimer(nullptr, timerId);
    try {
        auto& pending = detail::PendingReleases();
        auto it = std::find_if(pending.begin(), pending.end(),
                               [timerId](SubclassRecord* r) { return r->releaseTimer == timerId; });
        if (it == pending.end()) return;
        SubclassRecord* record = *it;
        pending.erase(it);
        record->releaseTimer = 0;
        FreeRecord(record);
    } catch (...) {
        ReportSubclassError(L"ReleaseTimerProc", L"release failed");
    }
}

void CSubclass::FreeRecord(SubclassRecord* record) {
    // A window destroyed while registered keeps its entry until ssc_UnSubclass; the entry then
    // points at nothing and look-ups treat it as released.
    if (record->owner) record->owner->ForgetRecord(record);
    delete record;
}

void CSubclass::ForgetRecord(SubclassRecord* record) {
    if (!registry_) return;
    for (Entry& entry : *registry_) {
        if (entry.record == record) entry.record = nullptr;
    }
}

}  // namespace xcyh2
