// Error reporting of the interception engine. Its failures are never raised to the caller and
// never shown to the player: each becomes one error entry in the application event log.
#pragma once

#include <functional>
#include <string>

namespace xcyh2 {

// Writes "CSubclass.<routine>: <text>" as an error entry to the application event log (source
// "xcyh2") and hands the same line to the observer, if one is installed.
void ReportSubclassError(const std::wstring& routine, const std::wstring& text);

// Installs the one observer of reported lines (tests watch the engine through it); empty = none.
void SetSubclassErrorObserver(std::function<void(const std::wstring& line)> observer);

}  // namespace xcyh2
