// The built-in engine: a child window that fetches pages over HTTP on worker threads, parses
// them with the window-free core (browser/html/) and draws headings, paragraphs, line breaks,
// links and inline frames with GDI. It raises the browser events in the system control's
// order, always on the user-interface thread.
#pragma once

#include <memory>

#include "browser/WebBrowser.h"

namespace xcyh2::browser {

std::shared_ptr<IWebBrowser> CreateBuiltInBrowser(HWND parent, int x, int y, int width, int height);

// The plain text of the built-in engine's current document, frames included, as drawn (for
// tests that check what a page shows). Empty for other engines.
std::wstring BuiltInDocumentText(const IWebBrowser& browser);

}  // namespace xcyh2::browser
