#include "browser/BuiltInBrowser.h"

#include <windows.h>

#include "base/EventLog.h"
#include "browser/BuiltInEvents.h"
#include "browser/DeferredRelease.h"
#include "browser/PageInput.h"
#include "browser/PageLoader.h"
#include "browser/PageSet.h"
#include "browser/PageView.h"
#include "browser/WideText.h"
#include "forms/Window.h"
#include "resources/ResourceIds.h"

namespace xcyh2::browser {
namespace {

constexpr UINT kNavigateMessage = XCYH2_WM_BROWSER_NAVIGATE;
constexpr UINT kFetchDoneMessage = XCYH2_WM_BROWSER_FETCH_DONE;

// The control's window and its interface; the pages, their view, their loader and the
// reader's input are its parts.
class BuiltInBrowser final : public forms::Window,
                             public IWebBrowser,
                             public BuiltInEvents,
                             public std::enable_shared_from_this<BuiltInBrowser> {
public:
    ~BuiltInBrowser() override {
        loader_.CancelFetches();
        DestroyWin();
    }

    bool Create(HWND parent, int x, int y, int width, int height) {
        forms::WindowDesign design;
        design.className = L"Xcyh2BuiltInBrowser";
        design.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_VSCROLL;
        design.x = x;
        design.y = y;
        design.width = width;
        design.height = height;
        design.parent = parent;
        design.background = RGB(255, 255, 255);
        return CreateWin(design);
    }

    HWND hWnd() const override { return handle(); }
    void Move(int x, int y, int width, int height) override {
        if (exists()) ::MoveWindow(handle(), x, y, width, height, TRUE);
    }
    void Navigate(const std::wstring& url) override {
        // Run from the message loop, as a click would: the caller's own state is settled by then.
        pendingNavigation_ = url;
        if (exists()) ::PostMessageW(handle(), kNavigateMessage, 0, 0);
    }
    void Refresh() override { loader_.Refresh(); }
    void SetSilent(bool silent) override { silent_ = silent; }
    bool Silent() const override { return silent_; }
    bool HasDocument() const override { return pages_.top.has_value(); }
    std::wstring DocumentRootInnerHtml() const override {
        return pages_.top ? ToWide(pages_.top->doc.RootInnerHtml()) : std::wstring();
    }
    std::wstring DocumentUrl() const override { return pages_.top ? ToWide(pages_.top->url) : std::wstring(); }
    void SetRootOverflow(const std::wstring& value) override {
        if (pages_.top) view_.SetOverflowHidden(value == L"hidden");
    }
    void SetZoom(int percent) override { view_.SetZoom(percent); }

    std::wstring Text() const { return ToWide(pages_.Text()); }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // Raises one event with this object kept alive; false when the handler destroyed the window.
    // A handler's exception stops at the event (reported): the page goes on as after any event.
    template <typename Fn>
    bool Raise(Fn&& fn) {
        std::shared_ptr<BuiltInBrowser> self = shared_from_this();
        try {
            fn();
        } catch (...) {
            ReportCurrentException(L"BuiltInBrowser.Event");
        }
        bool alive = exists();
        // Released by its owner inside the handler: finish this message first.
        if (self.use_count() == 1) DeferRelease(std::move(self));
        return alive;
    }

    bool RaiseDownloadBegin() override { return !DownloadBegin || Raise([&] { DownloadBegin(); }); }
    bool RaiseBeforeNavigate2(const std::wstring& url, bool& cancel) override {
        return !BeforeNavigate2 || Raise([&] { BeforeNavigate2(url, cancel); });
    }
    bool RaiseDocumentComplete(const WebFrame& frame, const std::wstring& url) override {
        return !DocumentComplete || Raise([&] { DocumentComplete(frame, url); });
    }
    bool RaiseTitleChange(const std::wstring& text) override {
        return !TitleChange || Raise([&] { TitleChange(text); });
    }
    bool RaiseNewWindow(const std::wstring& url, bool& processed) override {
        return !NewWindow || Raise([&] { NewWindow(url, processed); });
    }
    bool RaiseContextMenu(bool& show) override {
        return !Document_oncontextmenu || Raise([&] { show = Document_oncontextmenu(); });
    }

    void RunPendingNavigation() {
        std::wstring url = std::move(pendingNavigation_);
        pendingNavigation_.clear();
        if (!url.empty()) loader_.Navigate(url);
    }

    std::wstring pendingNavigation_;
    bool silent_ = false;
    PageSet pages_;
    PageView view_{*this, pages_};
    PageLoader loader_{*this, kFetchDoneMessage, *this, pages_, view_};
    PageInput input_{*this, *this, view_, loader_};
};

LRESULT BuiltInBrowser::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case kNavigateMessage: RunPendingNavigation(); return 0;
        case kFetchDoneMessage: loader_.OnFetchDone(wParam); return 0;
        case WM_SIZE: view_.LayOutAll(); break;
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: view_.OnPaint(); return 0;
        case WM_DESTROY: loader_.CancelFetches(); break;
        default: {
            LRESULT result = 0;
            if (input_.Handle(msg, wParam, lParam, result)) return result;
            break;
        }
    }
    return Window::HandleMessage(msg, wParam, lParam);
}

}  // namespace

std::shared_ptr<IWebBrowser> CreateBuiltInBrowser(HWND parent, int x, int y, int width, int height) {
    auto browser = std::make_shared<BuiltInBrowser>();
    if (!browser->Create(parent, x, y, width, height)) return nullptr;
    return browser;
}

std::wstring BuiltInDocumentText(const IWebBrowser& browser) {
    const auto* builtIn = dynamic_cast<const BuiltInBrowser*>(&browser);
    return builtIn ? builtIn->Text() : std::wstring();
}

}  // namespace xcyh2::browser
