#include "base/EventLog.h"

#include <windows.h>

#include <exception>

#include "base/ansi.h"
#include "base/win_handles.h"

namespace xcyh2 {

void ReportToEventLog(const std::wstring& line) {
    // Errors are rare: the source is opened for each entry rather than held for the process.
    unique_event_source source(::RegisterEventSourceW(nullptr, L"xcyh2"));
    if (!source) return;
    LPCWSTR strings[] = {line.c_str()};
    ::ReportEventW(source.get(), EVENTLOG_ERROR_TYPE, 0, 0, nullptr, 1, 0, strings, nullptr);
}

void ReportCurrentException(const std::wstring& where) {
    std::wstring text = L"unknown error";
    try {
        throw;
    } catch (const std::exception& e) {
        text = AnsiToWide(e.what());
    } catch (...) {
    }
    ReportToEventLog(where + L": " + text);
}

}  // namespace xcyh2
