// A browser control the test scripts: it records what the window asks of it and raises the
// events the test tells it to, with the document the test sets.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "browser/WebBrowser.h"

namespace xcyh2::test {

class FakeBrowser : public browser::IWebBrowser {
public:
    // An engine may still raise events while it is being released.
    ~FakeBrowser() override {
        if (auto last = std::move(onRelease)) last(*this);
    }
    HWND hWnd() const override { return nullptr; }
    void Move(int, int, int, int) override {}
    void Navigate(const std::wstring& url) override { navigated.push_back(url); }
    void Refresh() override { ++refreshed; }
    void SetSilent(bool silent) override { silent_ = silent; }
    bool Silent() const override { return silent_; }
    bool HasDocument() const override { return true; }
    std::wstring DocumentRootInnerHtml() const override { return rootHtml; }
    std::wstring DocumentUrl() const override { return documentUrl; }
    void SetRootOverflow(const std::wstring& value) override { overflow.push_back(value); }
    void SetZoom(int percent) override { zoom = percent; }

    // Raises BeforeNavigate2 as the engine would; returns the cancel flag.
    bool FireBeforeNavigate2(const std::wstring& url) {
        bool cancel = false;
        if (BeforeNavigate2) BeforeNavigate2(url, cancel);
        return cancel;
    }
    void FireDocumentComplete(bool top, const std::wstring& url) {
        if (DocumentComplete) DocumentComplete(browser::WebFrame{top, 0}, url);
    }
    void FireDownloadBegin() {
        if (DownloadBegin) DownloadBegin();
    }
    void FireTitleChange(const std::wstring& text) {
        if (TitleChange) TitleChange(text);
    }
    // Raises NewWindow as the engine would; returns the Processed flag.
    bool FireNewWindow(const std::wstring& url) {
        bool processed = false;
        if (NewWindow) NewWindow(url, processed);
        return processed;
    }

    std::function<void(FakeBrowser&)> onRelease;
    std::vector<std::wstring> navigated;
    std::vector<std::wstring> overflow;  // every root overflow set
    int refreshed = 0;
    int zoom = 0;  // the last zoom set; 0: none
    std::wstring rootHtml = L"<head></head><body><p>登录</p></body>";
    std::wstring documentUrl;
    struct Placement {
        HWND parent;
        int x, y, width, height;
    } placement{};

private:
    bool silent_ = false;
};

}  // namespace xcyh2::test
