#include "winhooks/SubclassError.h"

#include "base/EventLog.h"

namespace xcyh2 {
namespace {

std::function<void(const std::wstring&)>& Observer() {
    static std::function<void(const std::wstring&)> observer;
    return observer;
}

}  // namespace

void ReportSubclassError(const std::wstring& routine, const std::wstring& text) {
    const std::wstring line = L"CSubclass." + routine + L": " + text;
    ReportToEventLog(line);
    // A copy, so an observer may replace itself while it runs.
    if (auto observer = Observer()) observer(line);
}

void SetSubclassErrorObserver(std::function<void(const std::wstring& line)> observer) {
    Observer() = std::move(observer);
}

}  // namespace xcyh2
