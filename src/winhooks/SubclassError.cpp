#include "winhooks/SubclassError.h"

#include <windows.h>

#include "base/win_handles.h"

namespace xcyh2 {
namespace {

std::function<void(const std::wstring&)>& Observer() {
    static std::function<void(const std::wstring&)> observer;
    return observer;
}

}  // namespace

void ReportSubclassError(const std::wstring& routine, const std::wstring& text) {
    const std::wstring line = L"CSubclass." + routine + L": " + text;
    // Errors are rare: the source is opened for each entry rather than held for the process.
    unique_event_source source(::RegisterEventSourceW(nullptr, L"xcyh2"));
    if (source) {
        LPCWSTR strings[] = {line.c_str()};
        ::ReportEventW(source.get(), EVENTLOG_ERROR_TYPE, 0, 0, nullptr, 1, 0, strings, nullptr);
    }
    // A copy, so an observer may replace itself while it runs.
    if (auto observer = Observer()) observer(line);
}

void SetSubclassErrorObserver(std::function<void(const std::wstring& line)> observer) {
    Observer() = std::move(observer);
}

}  // namespace xcyh2
