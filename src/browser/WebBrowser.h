// The browser control as the shell's windows use it: one interface, two engines behind it
// (the system web-browser control, and the built-in engine where that cannot render).
// Events are plain callbacks, raised on the user-interface thread. The object may be released
// from inside one of its own event handlers (the login page's commands unload the window that
// holds it): the engines keep themselves alive until the handler has returned.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace xcyh2::browser {

// Which document an event is about: the top-level page or one of its frames.
struct WebFrame {
    bool isTop = true;
    int index = 0;  // frames: position in the page, from 0; the top document: 0
};

class IWebBrowser {
public:
    IWebBrowser() { ++liveCount_; }
    IWebBrowser(const IWebBrowser&) = delete;
    IWebBrowser& operator=(const IWebBrowser&) = delete;
    virtual ~IWebBrowser() { --liveCount_; }

    // Browser objects alive in the process, of every engine: none may be left when COM shuts
    // down (see ReleaseBeforeComShutdown).
    static int LiveCount() { return liveCount_; }

    // The control's own child window (nullptr once it is gone).
    virtual HWND hWnd() const = 0;
    // Position and size inside the parent window, in pixels.
    virtual void Move(int x, int y, int width, int height) = 0;

    virtual void Navigate(const std::wstring& url) = 0;
    virtual void Refresh() = 0;
    // Silent: no script-error or other dialogs of the page.
    virtual void SetSilent(bool silent) = 0;
    virtual bool Silent() const = 0;

    // The current top-level document. Before any document exists: empty text, no effect.
    virtual bool HasDocument() const = 0;
    virtual std::wstring DocumentRootInnerHtml() const = 0;  // documentElement.innerHTML
    virtual std::wstring DocumentUrl() const = 0;            // document.URL
    virtual void SetRootOverflow(const std::wstring& value) = 0;  // documentElement.style.overflow

    // The page's zoom in per cent (10 to 1000; 100 draws the page at its own size). It belongs
    // to the control, not to the document: set before a page completes, or before a navigation,
    // it applies to every page shown after.
    virtual void SetZoom(int percent) = 0;

    // Browser events.
    std::function<void()> DownloadBegin;
    std::function<void(const std::wstring& url, bool& Cancel)> BeforeNavigate2;
    std::function<void(const WebFrame& frame, const std::wstring& url)> DocumentComplete;
    std::function<void(const std::wstring& text)> TitleChange;
    // A request for a new window (a link with target "_blank", window.open). Processed = true
    // stops the browser from opening one of its own.
    std::function<void(const std::wstring& url, bool& Processed)> NewWindow;
    // The document's oncontextmenu: returning false shows no context menu.
    std::function<bool()> Document_oncontextmenu;

private:
    inline static int liveCount_ = 0;  // user-interface thread only
};

enum class Engine { kAutomatic, kSystemControl, kBuiltIn };

// Creates a browser control as a child of parent at the given rectangle (pixels). kAutomatic
// picks the engine for this machine (see BrowserFactory.cpp). Returns nullptr only when even
// the built-in engine cannot create its window.
std::shared_ptr<IWebBrowser> CreateWebBrowser(HWND parent, int x, int y, int width, int height,
                                              Engine engine = Engine::kAutomatic);

// The engine kAutomatic picks here.
Engine AutomaticEngine();

}  // namespace xcyh2::browser
