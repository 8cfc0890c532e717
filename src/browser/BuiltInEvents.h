// The browser events as the built-in engine's parts raise them, each with the browser kept
// alive while its handler runs. Each returns false when the handler destroyed the window: the
// caller then stops where it is. An event without a handler is not raised and returns true.
#pragma once

#include <string>

#include "browser/WebBrowser.h"

namespace xcyh2::browser {

class BuiltInEvents {
public:
    virtual bool RaiseDownloadBegin() = 0;
    virtual bool RaiseBeforeNavigate2(const std::wstring& url, bool& cancel) = 0;
    virtual bool RaiseDocumentComplete(const WebFrame& frame, const std::wstring& url) = 0;
    virtual bool RaiseTitleChange(const std::wstring& text) = 0;
    virtual bool RaiseNewWindow(const std::wstring& url, bool& processed) = 0;
    // The document's oncontextmenu; show is left true when there is no handler.
    virtual bool RaiseContextMenu(bool& show) = 0;

protected:
    ~BuiltInEvents() = default;
};

}  // namespace xcyh2::browser
