#include "browser/PageLoader.h"

#include <vector>

#include "browser/ErrorPage.h"
#include "browser/WideText.h"
#include "browser/html/Url.h"

namespace xcyh2::browser {
namespace {

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

// The document a fetch brought (result), or the error page when there is none to show.
LoadedPage MakePage(const std::u16string& url, const FetchResult* result, PageError error) {
    LoadedPage page;
    page.url = url;
    bool failed = !result;
    if (result) {
        if (!result->finalUrl.empty()) page.url = ToU16(result->finalUrl);
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
        page.doc = html::Document::Parse(ErrorPageHtml(url, error, result ? static_cast<int>(result->status) : 0));
        return page;
    }
    // What came is shown, also when the connection ended early or the page was cut at the cap.
    page.doc = html::Document::Load(result->body, result->contentType, &DecodeLegacy);
    return page;
}

}  // namespace

void PageLoader::Navigate(const std::wstring& url) {
    bool cancel = false;
    if (!events_.RaiseBeforeNavigate2(url, cancel)) return;
    if (cancel) return;
    Load(url);
}

void PageLoader::Refresh() {
    if (pages_.top && !pages_.top->url.empty()) Load(ToWide(pages_.top->url));
}

void PageLoader::Load(const std::wstring& url) {
    CancelFetches();
    std::u16string address = ToU16(url);
    if (address == u"about:blank") {
        // An empty page, which still has its head and body as the system control's has.
        LoadedPage page;
        page.url = address;
        page.doc = html::Document::Parse(u"<html><head></head><body></body></html>");
        pages_.frames.clear();
        topCompleted_ = false;
        ShowTopPage(std::move(page));
        CompleteTopIfReady();
        return;
    }
    if (!IsHttp(address)) {
        pages_.frames.clear();
        topCompleted_ = false;
        ShowTopPage(MakePage(address, nullptr, PageError::kUnsupported));
        CompleteTopIfReady();
        return;
    }
    if (!events_.RaiseDownloadBegin()) return;
    StartFetch(url, kFrameIndexTop);
}

void PageLoader::StartFetch(const std::wstring& url, int frameIndex) {
    WPARAM id = nextFetchId_++;
    fetches_[id] = {Fetch::Start(url, window_.handle(), fetchDoneMessage_, id), frameIndex};
}

void PageLoader::CancelFetches() {
    for (auto& entry : fetches_) entry.second.first->Cancel();
    fetches_.clear();
}

void PageLoader::OnFetchDone(WPARAM id) {
    auto it = fetches_.find(id);
    if (it == fetches_.end()) return;  // cancelled by a newer navigation
    std::shared_ptr<Fetch> fetch = it->second.first;
    int frameIndex = it->second.second;
    fetches_.erase(it);
    FetchResult result = fetch->TakeResult();
    if (frameIndex == kFrameIndexTop) {
        pages_.frames.clear();
        topCompleted_ = false;
        ShowTopPage(MakePage(ToU16(fetch->Url()), &result, PageError::kNoConnection));
        if (!window_.exists()) return;
        std::u16string title = pages_.top->doc.Title();
        if (!events_.RaiseTitleChange(ToWide(title.empty() ? pages_.top->url : title))) return;
        StartFrames();
        return;
    }
    if (frameIndex < 0 || frameIndex >= static_cast<int>(pages_.frames.size())) return;
    FrameSlot& slot = pages_.frames[frameIndex];
    slot.pending = false;
    slot.page = MakePage(slot.url, &result, PageError::kNoConnection);
    view_.LayOutAll();
    FrameFinished(frameIndex);
}

void PageLoader::NavigateFrame(int frame, const std::wstring& url) {
    bool cancel = false;
    if (!events_.RaiseBeforeNavigate2(url, cancel)) return;
    if (cancel || frame >= static_cast<int>(pages_.frames.size())) return;
    FrameSlot& slot = pages_.frames[frame];
    slot.url = ToU16(url);
    if (!IsHttp(slot.url)) {
        slot.page = MakePage(slot.url, nullptr, PageError::kUnsupported);
        view_.LayOutAll();
        FrameFinished(frame);
        return;
    }
    slot.pending = true;
    StartFetch(url, frame);
}

void PageLoader::ShowTopPage(LoadedPage page) {
    pages_.top = std::move(page);
    view_.ShowNewTop();
}

void PageLoader::StartFrames() {
    const std::vector<html::Frame>& frames = pages_.top->doc.Frames();
    pages_.frames.assign(frames.size(), FrameSlot{});
    std::u16string base = pages_.top->url;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (frames[i].src.empty()) continue;
        std::u16string address = html::ResolveUrl(base, frames[i].src);
        std::wstring url = ToWide(address);
        bool cancel = false;
        if (!events_.RaiseBeforeNavigate2(url, cancel)) return;
        if (i >= pages_.frames.size()) return;  // a handler navigated the page away meanwhile
        if (cancel || !IsHttp(address)) continue;
        pages_.frames[i].url = address;
        pages_.frames[i].pending = true;
        StartFetch(url, static_cast<int>(i));
    }
    CompleteTopIfReady();
}

void PageLoader::FrameFinished(int index) {
    std::wstring url = ToWide(pages_.frames[index].url);
    WebFrame frame{false, index};
    if (!events_.RaiseDocumentComplete(frame, url)) return;
    CompleteTopIfReady();
}

void PageLoader::CompleteTopIfReady() {
    if (topCompleted_ || !pages_.top) return;
    for (const FrameSlot& slot : pages_.frames) {
        if (slot.pending) return;
    }
    topCompleted_ = true;
    events_.RaiseDocumentComplete(WebFrame{}, ToWide(pages_.top->url));
}

}  // namespace xcyh2::browser
