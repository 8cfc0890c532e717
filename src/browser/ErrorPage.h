// The built-in engine's own page for a navigation that failed: plain HTML with a heading, the
// address and the reason, so a failed page still has content (as the system control's have).
// Window-free.
#pragma once

#include <string>
#include <string_view>

namespace xcyh2::browser {

enum class PageError {
    kNoConnection,   // the server could not be reached or did not answer
    kHttpStatus,     // the server answered with an error status
    kEmptyResponse,  // the connection ended before anything came
    kUnsupported,    // an address this engine cannot open
};

// The page's HTML; the address is escaped, so any address is shown as text.
std::u16string ErrorPageHtml(std::u16string_view url, PageError error, int httpStatus = 0);

// Text with <, >, & and " written as character references.
std::u16string EscapeHtml(std::u16string_view text);

}  // namespace xcyh2::browser
