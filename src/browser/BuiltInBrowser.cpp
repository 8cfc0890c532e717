#include "browser/BuiltInBrowser.h"

#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

#include "base/EventLog.h"
#include "base/win_handles.h"
#include "browser/DeferredRelease.h"
#include "browser/ErrorPage.h"
#include "browser/HttpFetch.h"
#include "browser/html/Document.h"
#include "browser/html/Layout.h"
#include "browser/html/Url.h"
#include "forms/Window.h"

namespace xcyh2::browser {
namespace {

constexpr UINT kNavigateMessage = WM_APP + 1;   // a Navigate call, run from the message loop
constexpr UINT kFetchDoneMessage = WM_APP + 2;  // wParam: the fetch's id
constexpr UINT kRefreshCommand = 1;
constexpr int kFrameIndexTop = -1;

std::wstring ToWide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }
std::u16string ToU16(std::wstring_view s) { return std::u16string(s.begin(), s.end()); }

std::u16string DecodeLegacy(std::string_view bytes, html::Charset) {
    if (bytes.empty()) return {};
    int n = ::MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0) return std::u16string(bytes.size(), u'\xFFFD');
    std::wstring wide(n, L'\0');
    ::MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
    return ToU16(wide);
}

bool IsHttp(std::u16string_view url) {
    std::u16string scheme = html::UrlScheme(url);
    return scheme == u"http" || scheme == u"https";
}

// The fonts for the page's text classes, made on first use.
class FontSet {
public:
    HFONT Get(const html::FontClass& font) {
        int key = font.heading * 2 + (font.link ? 1 : 0);
        auto it = fonts_.find(key);
        if (it != fonts_.end()) return it->second.get();
        static const int kHeadingPixels[] = {16, 28, 22, 19, 17, 16, 15};
        int pixels = kHeadingPixels[font.heading >= 0 && font.heading <= 6 ? font.heading : 0];
        LOGFONTW lf{};
        lf.lfHeight = -pixels;
        lf.lfWeight = font.heading > 0 ? FW_BOLD : FW_NORMAL;
        lf.lfUnderline = font.link ? TRUE : FALSE;
        lf.lfCharSet = GB2312_CHARSET;
        lf.lfQuality = ANTIALIASED_QUALITY;
        // Under Wine the prefix maps these names to a CJK face it has.
        ::lstrcpynW(lf.lfFaceName, L"Microsoft YaHei", LF_FACESIZE);
        HFONT made = ::CreateFontIndirectW(&lf);
        if (!made) {
            ::lstrcpynW(lf.lfFaceName, L"SimSun", LF_FACESIZE);
            made = ::CreateFontIndirectW(&lf);
        }
        return fonts_.emplace(key, unique_hfont(made)).first->second.get();
    }

private:
    std::map<int, unique_hfont> fonts_;
};

class GdiMeasurer : public html::TextMeasurer {
public:
    GdiMeasurer(HDC dc, FontSet& fonts) : dc_(dc), fonts_(fonts) {}
    int TextWidth(std::u16string_view text, const html::FontClass& font) override {
        SelectedObject selected(dc_, fonts_.Get(font));
        SIZE size{};
        ::GetTextExtentPoint32W(dc_, reinterpret_cast<const wchar_t*>(text.data()), static_cast<int>(text.size()),
                                &size);
        return size.cx;
    }
    int LineHeight(const html::FontClass& font) override {
        SelectedObject selected(dc_, fonts_.Get(font));
        TEXTMETRICW tm{};
        ::GetTextMetricsW(dc_, &tm);
        return tm.tmHeight + tm.tmExternalLeading + 2;
    }

private:
    HDC dc_;
    FontSet& fonts_;
};

// One loaded document (the top page or a frame's) and its layout.
struct LoadedPage {
    std::wstring url;
    html::Document doc;
    html::PageLayout layout;
    int layoutWidth = -1;
};

struct FrameSlot {
    std::wstring url;       // resolved address ("" when the frame has none)
    bool pending = false;   // its fetch is running
    std::optional<LoadedPage> page;
};

class BuiltInBrowser final : public forms::Window,
                             public IWebBrowser,
                             public std::enable_shared_from_this<BuiltInBrowser> {
public:
    ~BuiltInBrowser() override {
        CancelFetches();
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
    void Refresh() override {
        if (page_ && !page_->url.empty()) Load(page_->url);
    }
    void SetSilent(bool silent) override { silent_ = silent; }
    bool Silent() const override { return silent_; }
    bool HasDocument() const override { return page_.has_value(); }
    std::wstring DocumentRootInnerHtml() const override {
        return page_ ? ToWide(page_->doc.RootInnerHtml()) : std::wstring();
    }
    std::wstring DocumentUrl() const override { return page_ ? page_->url : std::wstring(); }
    void SetRootOverflow(const std::wstring& value) override {
        if (!page_) return;
        hideScrollBar_ = value == L"hidden";
        UpdateScrollBar();
    }

    std::wstring Text() const {
        std::wstring text;
        auto append = [&text](const LoadedPage& page) {
            int lastY = -1;
            for (const html::PlacedRun& run : page.layout.runs) {
                if (lastY != -1 && run.y != lastY) text += L'\n';
                lastY = run.y;
                text += ToWide(run.text);
            }
            text += L'\n';
        };
        if (page_) append(*page_);
        for (const FrameSlot& slot : frames_) {
            if (slot.page) append(*slot.page);
        }
        return text;
    }

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

    void BeginNavigation(const std::wstring& url);
    void Load(const std::wstring& url);
    void StartFetch(const std::wstring& url, int frameIndex);
    void CancelFetches();
    void OnFetchDone(WPARAM id);
    void ShowTopPage(LoadedPage page);
    void StartFrames();
    void FrameFinished(int index);
    void CompleteTopIfReady();
    LoadedPage MakePage(const std::wstring& url, const FetchResult* result, PageError error);
    void FollowLink(const POINT& client);
    bool LinkAt(POINT client, std::wstring& url, std::u16string& target, int& frame);
    void LayOutAll();
    void LayOutPage(LoadedPage& page, int width, HDC dc);
    void UpdateScrollBar();
    void ScrollTo(int y);
    void Paint(HDC dc);
    void PaintPage(HDC dc, const LoadedPage& page, int originX, int originY, const RECT& clip);
    void ShowContextMenu(POINT screen);

    std::wstring pendingNavigation_;
    std::optional<LoadedPage> page_;
    std::vector<FrameSlot> frames_;
    bool topCompleted_ = true;  // the current page's DocumentComplete has been raised
    std::map<WPARAM, std::pair<std::shared_ptr<Fetch>, int>> fetches_;  // id -> fetch, frame index
    WPARAM nextFetchId_ = 1;
    FontSet fonts_;
    bool silent_ = false;
    bool hideScrollBar_ = false;
    int scrollY_ = 0;
    std::wstring pressedLink_;
};

void BuiltInBrowser::BeginNavigation(const std::wstring& url) {
    bool cancel = false;
    if (BeforeNavigate2 && !Raise([&] { BeforeNavigate2(url, cancel); })) return;
    if (cancel) return;
    Load(url);
}

void BuiltInBrowser::Load(const std::wstring& url) {
    CancelFetches();
    std::u16string address = ToU16(url);
    if (address == u"about:blank") {
        // An empty page, which still has its head and body as the system control's has.
        LoadedPage page;
        page.url = url;
        page.doc = html::Document::Parse(u"<html><head></head><body></body></html>");
        frames_.clear();
        topCompleted_ = false;
        ShowTopPage(std::move(page));
        CompleteTopIfReady();
        return;
    }
    if (!IsHttp(address)) {
        frames_.clear();
        topCompleted_ = false;
        ShowTopPage(MakePage(url, nullptr, PageError::kUnsupported));
        CompleteTopIfReady();
        return;
    }
    if (DownloadBegin && !Raise([&] { DownloadBegin(); })) return;
    StartFetch(url, kFrameIndexTop);
}

void BuiltInBrowser::StartFetch(const std::wstring& url, int frameIndex) {
    WPARAM id = nextFetchId_++;
    fetches_[id] = {Fetch::Start(url, handle(), kFetchDoneMessage, id), frameIndex};
}

void BuiltInBrowser::CancelFetches() {
    for (auto& entry : fetches_) entry.second.first->Cancel();
    fetches_.clear();
}

LoadedPage BuiltInBrowser::MakePage(const std::wstring& url, const FetchResult* result, PageError error) {
    LoadedPage page;
    page.url = url;
    bool failed = !result;
    if (result) {
        if (!result->finalUrl.empty()) page.url = result->finalUrl;
        if (result->outcome != FetchResult::Outcome::kOk) {
            failed = true;
            error = result->outcome == FetchResult::Outcome::kBadAddress ? PageError::kUnsupported
                                                                          : PageError::kNoConnection;
        } else if (result->status >= 400) {
            failed = true;
            error = PageError::kHttpStatus;
        } else if (result->incomplete && result->body.empty()) {
            failed = true;
            error = PageError::kEmptyResponse;
        }
    }
    if (failed) {
        // The error page stands at the address that failed, as the system control's does.
        page.url = url;
        page.doc = html::Document::Parse(
            ErrorPageHtml(ToU16(url), error, result ? static_cast<int>(result->status) : 0));
        return page;
    }
    // What came is shown, also when the connection ended early or the page was cut at the cap.
    page.doc = html::Document::Load(result->body, result->contentType, &DecodeLegacy);
    return page;
}

void BuiltInBrowser::OnFetchDone(WPARAM id) {
    auto it = fetches_.find(id);
    if (it == fetches_.end()) return;  // cancelled by a newer navigation
    std::shared_ptr<Fetch> fetch = it->second.first;
    int frameIndex = it->second.second;
    fetches_.erase(it);
    FetchResult result = fetch->TakeResult();
    if (frameIndex == kFrameIndexTop) {
        frames_.clear();
        topCompleted_ = false;
        ShowTopPage(MakePage(fetch->Url(), &result, PageError::kNoConnection));
        if (!exists()) return;
        std::u16string title = page_->doc.Title();
        std::wstring titleText = title.empty() ? page_->url : ToWide(title);
        if (TitleChange && !Raise([&] { TitleChange(titleText); })) return;
        StartFrames();
        return;
    }
    if (frameIndex < 0 || frameIndex >= static_cast<int>(frames_.size())) return;
    FrameSlot& slot = frames_[frameIndex];
    slot.pending = false;
    slot.page = MakePage(slot.url, &result, PageError::kNoConnection);
    LayOutAll();
    FrameFinished(frameIndex);
}

void BuiltInBrowser::ShowTopPage(LoadedPage page) {
    page_ = std::move(page);
    scrollY_ = 0;
    hideScrollBar_ = false;
    LayOutAll();
}

void BuiltInBrowser::StartFrames() {
    const std::vector<html::Frame>& frames = page_->doc.Frames();
    frames_.assign(frames.size(), FrameSlot{});
    std::u16string base = ToU16(page_->url);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (frames[i].src.empty()) continue;
        std::wstring url = ToWide(html::ResolveUrl(base, frames[i].src));
        bool cancel = false;
        if (BeforeNavigate2 && !Raise([&] { BeforeNavigate2(url, cancel); })) return;
        if (i >= frames_.size()) return;  // a handler navigated the page away meanwhile
        if (cancel || !IsHttp(ToU16(url))) continue;
        frames_[i].url = url;
        frames_[i].pending = true;
        StartFetch(url, static_cast<int>(i));
    }
    CompleteTopIfReady();
}

void BuiltInBrowser::FrameFinished(int index) {
    std::wstring url = frames_[index].url;
    WebFrame frame{false, index};
    if (DocumentComplete && !Raise([&] { DocumentComplete(frame, url); })) return;
    CompleteTopIfReady();
}

void BuiltInBrowser::CompleteTopIfReady() {
    if (topCompleted_ || !page_) return;
    for (const FrameSlot& slot : frames_) {
        if (slot.pending) return;
    }
    topCompleted_ = true;
    std::wstring url = page_->url;
    if (DocumentComplete) Raise([&] { DocumentComplete(WebFrame{}, url); });
}

void BuiltInBrowser::LayOutPage(LoadedPage& page, int width, HDC dc) {
    if (page.layoutWidth == width) return;
    GdiMeasurer measurer(dc, fonts_);
    html::LayoutOptions options;
    options.viewportWidth = width;
    page.layout = html::LayOut(page.doc, measurer, options);
    page.layoutWidth = width;
}

void BuiltInBrowser::LayOutAll() {
    if (!exists() || !page_) return;
    RECT client;
    ::GetClientRect(handle(), &client);
    int width = client.right - client.left;
    unique_hdc dc(::CreateCompatibleDC(nullptr));
    LayOutPage(*page_, width, dc.get());
    for (const html::PlacedFrame& box : page_->layout.frames) {
        if (box.frame >= 0 && box.frame < static_cast<int>(frames_.size()) && frames_[box.frame].page) {
            LayOutPage(*frames_[box.frame].page, box.width, dc.get());
        }
    }
    UpdateScrollBar();
    ::InvalidateRect(handle(), nullptr, FALSE);
}

void BuiltInBrowser::UpdateScrollBar() {
    if (!exists()) return;
    RECT client;
    ::GetClientRect(handle(), &client);
    int pageHeight = page_ ? page_->layout.height : 0;
    SCROLLINFO si{sizeof(si)};
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = hideScrollBar_ ? 0 : (pageHeight > 0 ? pageHeight - 1 : 0);
    si.nPage = client.bottom;
    int maxScroll = std::max(0, pageHeight - static_cast<int>(client.bottom));
    scrollY_ = std::clamp(scrollY_, 0, maxScroll);
    si.nPos = scrollY_;
    ::SetScrollInfo(handle(), SB_VERT, &si, TRUE);
}

void BuiltInBrowser::ScrollTo(int y) {
    if (hideScrollBar_) return;  // overflow hidden: the reader cannot scroll the page
    RECT client;
    ::GetClientRect(handle(), &client);
    int pageHeight = page_ ? page_->layout.height : 0;
    int maxScroll = std::max(0, pageHeight - static_cast<int>(client.bottom));
    y = std::clamp(y, 0, maxScroll);
    if (y == scrollY_) return;
    scrollY_ = y;
    UpdateScrollBar();
    ::InvalidateRect(handle(), nullptr, FALSE);
}

void BuiltInBrowser::PaintPage(HDC dc, const LoadedPage& page, int originX, int originY, const RECT& clip) {
    auto [first, last] = page.layout.LinesBetween(clip.top - originY, clip.bottom - originY);
    for (std::size_t i = first; i < last; ++i) {
        const html::LayoutLine& line = page.layout.lines[i];
        for (std::size_t r = line.firstRun; r < line.firstRun + line.runCount && r < page.layout.runs.size(); ++r) {
            const html::PlacedRun& run = page.layout.runs[r];
            SelectedObject font(dc, fonts_.Get(run.font));
            ::SetTextColor(dc, run.link >= 0 ? RGB(0, 0, 204) : RGB(0, 0, 0));
            ::TextOutW(dc, originX + run.x, originY + run.y, reinterpret_cast<const wchar_t*>(run.text.data()),
                       static_cast<int>(run.text.size()));
        }
    }
}

void BuiltInBrowser::Paint(HDC dc) {
    RECT client;
    ::GetClientRect(handle(), &client);
    unique_hbrush white(::CreateSolidBrush(RGB(255, 255, 255)));
    ::FillRect(dc, &client, white.get());
    if (!page_) return;
    ::SetBkMode(dc, TRANSPARENT);
    PaintPage(dc, *page_, 0, -scrollY_, client);
    unique_hbrush border(::CreateSolidBrush(RGB(160, 160, 160)));
    for (const html::PlacedFrame& box : page_->layout.frames) {
        RECT r{box.x, box.y - scrollY_, box.x + box.width, box.y - scrollY_ + box.height};
        RECT visible;
        if (!::IntersectRect(&visible, &r, &client)) continue;
        ::FrameRect(dc, &r, border.get());
        if (box.frame < 0 || box.frame >= static_cast<int>(frames_.size()) || !frames_[box.frame].page) continue;
        int saved = ::SaveDC(dc);
        ::IntersectClipRect(dc, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
        PaintPage(dc, *frames_[box.frame].page, r.left, r.top, visible);
        ::RestoreDC(dc, saved);
    }
}

bool BuiltInBrowser::LinkAt(POINT client, std::wstring& url, std::u16string& target, int& frame) {
    if (!page_) return false;
    int x = client.x;
    int y = client.y + scrollY_;
    for (const html::PlacedFrame& box : page_->layout.frames) {
        if (x < box.x || x >= box.x + box.width || y < box.y || y >= box.y + box.height) continue;
        if (box.frame < 0 || box.frame >= static_cast<int>(frames_.size()) || !frames_[box.frame].page) return false;
        const LoadedPage& inner = *frames_[box.frame].page;
        int link = inner.layout.HitTest(x - box.x, y - box.y);
        if (link < 0 || link >= static_cast<int>(inner.doc.Links().size())) return false;
        const html::Link& l = inner.doc.Links()[link];
        url = ToWide(html::ResolveUrl(ToU16(inner.url), l.href));
        target = l.target;
        frame = box.frame;
        return true;
    }
    int link = page_->layout.HitTest(x, y);
    if (link < 0 || link >= static_cast<int>(page_->doc.Links().size())) return false;
    const html::Link& l = page_->doc.Links()[link];
    url = ToWide(html::ResolveUrl(ToU16(page_->url), l.href));
    target = l.target;
    frame = kFrameIndexTop;
    return true;
}

void BuiltInBrowser::FollowLink(const POINT& client) {
    std::wstring url;
    std::u16string target;
    int frame = kFrameIndexTop;
    if (!LinkAt(client, url, target, frame)) return;
    if (target == u"_blank") {
        bool processed = false;
        // The engine has no windows of its own to open: an unprocessed request goes nowhere.
        if (NewWindow) Raise([&] { NewWindow(url, processed); });
        return;
    }
    bool toFrame = frame != kFrameIndexTop && target != u"_top" && target != u"_parent";
    if (!toFrame) {
        BeginNavigation(url);
        return;
    }
    bool cancel = false;
    if (BeforeNavigate2 && !Raise([&] { BeforeNavigate2(url, cancel); })) return;
    if (cancel || frame >= static_cast<int>(frames_.size())) return;
    FrameSlot& slot = frames_[frame];
    slot.url = url;
    if (!IsHttp(ToU16(url))) {
        slot.page = MakePage(url, nullptr, PageError::kUnsupported);
        LayOutAll();
        FrameFinished(frame);
        return;
    }
    slot.pending = true;
    StartFetch(url, frame);
}

void BuiltInBrowser::ShowContextMenu(POINT screen) {
    bool show = true;
    if (Document_oncontextmenu && !Raise([&] { show = Document_oncontextmenu(); })) return;
    if (!show) return;
    unique_hmenu menu(::CreatePopupMenu());
    ::AppendMenuW(menu.get(), MF_STRING, kRefreshCommand, L"刷新");
    UINT chosen = ::TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, handle(),
                                   nullptr);
    if (chosen == kRefreshCommand) Refresh();
}

LRESULT BuiltInBrowser::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case kNavigateMessage: {
            std::wstring url = std::move(pendingNavigation_);
            pendingNavigation_.clear();
            if (!url.empty()) BeginNavigation(url);
            return 0;
        }
        case kFetchDoneMessage:
            OnFetchDone(wParam);
            return 0;
        case WM_SIZE:
            LayOutAll();
            break;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(handle(), &ps);
            RECT client;
            ::GetClientRect(handle(), &client);
            // Drawn off screen first, so scrolling does not flicker.
            unique_hdc mem(::CreateCompatibleDC(dc));
            unique_hbitmap bitmap(::CreateCompatibleBitmap(dc, std::max(1L, client.right), std::max(1L, client.bottom)));
            if (mem && bitmap) {
                SelectedObject selected(mem.get(), bitmap.get());
                Paint(mem.get());
                ::BitBlt(dc, 0, 0, client.right, client.bottom, mem.get(), 0, 0, SRCCOPY);
            } else {
                Paint(dc);
            }
            ::EndPaint(handle(), &ps);
            return 0;
        }
        case WM_VSCROLL: {
            SCROLLINFO si{sizeof(si)};
            si.fMask = SIF_ALL;
            ::GetScrollInfo(handle(), SB_VERT, &si);
            int y = scrollY_;
            switch (LOWORD(wParam)) {
                case SB_LINEUP: y -= 20; break;
                case SB_LINEDOWN: y += 20; break;
                case SB_PAGEUP: y -= static_cast<int>(si.nPage); break;
                case SB_PAGEDOWN: y += static_cast<int>(si.nPage); break;
                case SB_THUMBTRACK: case SB_THUMBPOSITION: y = si.nTrackPos; break;
                case SB_TOP: y = 0; break;
                case SB_BOTTOM: y = si.nMax; break;
                default: break;
            }
            ScrollTo(y);
            return 0;
        }
        case WM_MOUSEWHEEL:
            ScrollTo(scrollY_ - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 60);
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
                POINT pt;
                ::GetCursorPos(&pt);
                ::ScreenToClient(handle(), &pt);
                std::wstring url;
                std::u16string target;
                int frame;
                ::SetCursor(::LoadCursorW(nullptr, LinkAt(pt, url, target, frame) ? IDC_HAND : IDC_ARROW));
                return TRUE;
            }
            break;
        case WM_LBUTTONDOWN: {
            ::SetFocus(handle());
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            std::wstring url;
            std::u16string target;
            int frame;
            pressedLink_ = LinkAt(pt, url, target, frame) ? url : std::wstring();
            return 0;
        }
        case WM_LBUTTONUP: {
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            std::wstring url;
            std::u16string target;
            int frame;
            // A click: pressed and released on the same link.
            bool same = !pressedLink_.empty() && LinkAt(pt, url, target, frame) && url == pressedLink_;
            pressedLink_.clear();
            if (same) FollowLink(pt);
            return 0;
        }
        case WM_CONTEXTMENU: {
            POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (screen.x == -1 && screen.y == -1) {
                screen = {0, 0};
                ::ClientToScreen(handle(), &screen);
            }
            ShowContextMenu(screen);
            return 0;
        }
        case WM_KEYDOWN:
            if (wParam == VK_F5) Refresh();
            else if (wParam == VK_DOWN) ScrollTo(scrollY_ + 20);
            else if (wParam == VK_UP) ScrollTo(scrollY_ - 20);
            else if (wParam == VK_NEXT) ScrollTo(scrollY_ + 200);
            else if (wParam == VK_PRIOR) ScrollTo(scrollY_ - 200);
            return 0;
        case WM_DESTROY:
            CancelFetches();
            break;
        default:
            break;
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
