// Errors that nobody can be shown: one error entry each in the application event log, under
// the source "xcyh2". Used where a failure must not cross a window procedure or a COM method.
#pragma once

#include <string>

namespace xcyh2 {

void ReportToEventLog(const std::wstring& line);

// For a catch block at such a boundary: reports the exception being handled as
// "where: description".
void ReportCurrentException(const std::wstring& where);

}  // namespace xcyh2
