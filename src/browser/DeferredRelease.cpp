#include "browser/DeferredRelease.h"

#include <windows.h>

#include <map>

#include "base/EventLog.h"

namespace xcyh2::browser {
namespace {

// Objects waiting for their timer, by timer id. User-interface thread only.
std::map<UINT_PTR, std::shared_ptr<void>>& Pending() {
    static std::map<UINT_PTR, std::shared_ptr<void>> pending;
    return pending;
}

void CALLBACK ReleaseNow(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    try {
        auto it = Pending().find(id);
        if (it == Pending().end()) return;
        std::shared_ptr<void> object = std::move(it->second);
        Pending().erase(it);
        object.reset();  // may run destructors that start or end timers of their own
    } catch (...) {
        ReportCurrentException(L"DeferRelease.Timer");  // nothing may cross the timer's dispatch
    }
}

}  // namespace

void ReleaseDeferredNow() {
    // A destructor may defer another release: keep going until nothing waits.
    while (!Pending().empty()) {
        auto it = Pending().begin();
        ::KillTimer(nullptr, it->first);
        std::shared_ptr<void> object = std::move(it->second);
        Pending().erase(it);
        object.reset();
    }
}

std::size_t DeferredCount() { return Pending().size(); }

void DeferRelease(std::shared_ptr<void> object) {
    if (!object) return;
    UINT_PTR id = ::SetTimer(nullptr, 0, 0, &ReleaseNow);
    if (id == 0) return;  // no timer: released right here, as the caller would have
    Pending()[id] = std::move(object);
}

}  // namespace xcyh2::browser
