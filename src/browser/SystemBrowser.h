// The system web-browser control (the WebBrowser ActiveX object), hosted through COM in a
// child window of its own: a minimal in-place site, IWebBrowser2 for the commands, a
// DWebBrowserEvents2 sink for the events and the HTML document object model for the document.
#pragma once

#include <memory>

#include "browser/WebBrowser.h"

namespace xcyh2::browser {

// Creates and in-place activates the control; nullptr when the system has none (or it cannot
// be activated). COM must be initialised on this thread (single-threaded apartment).
std::shared_ptr<IWebBrowser> CreateSystemBrowser(HWND parent, int x, int y, int width, int height);

}  // namespace xcyh2::browser
