#include "mainwindow/WebUrl.h"

#include "base/SystemLibraries.h"
#include "mainwindow/GameAddress.h"

namespace xcyh2 {

WebUrl::WebUrl(BrowserFactory browserFactory, ShellOpen shellOpen)
    : browserFactory_(std::move(browserFactory)), shellOpen_(std::move(shellOpen)) {}

WebUrl::~WebUrl() {
    // Gone without an unload (the process ending): the browser goes first, its window after.
    if (wb_) Form_Unload();
}

forms::WindowDesign WebUrl::Design() const {
    forms::WindowDesign design;
    design.className = L"WebUrl";
    design.caption = L"Form1";
    design.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    design.width = 800;
    design.height = 600;
    return design;
}

void WebUrl::Form_Load() {
    RECT client;
    ::GetClientRect(handle(), &client);
    Picture1.Create(handle(), 0, 0, client.right, client.bottom);
    const int x = -2, y = -2, width = client.right + 4, height = client.bottom + 4;
    wb_ = browserFactory_ ? browserFactory_(Picture1.hWnd(), x, y, width, height)
                          : browser::CreateWebBrowser(Picture1.hWnd(), x, y, width, height);
    Picture1.Resize = [this] { Picture1_Resize(); };
    if (!wb_) return;
    wb_->DownloadBegin = [this] { wb_DownloadBegin(); };
    wb_->TitleChange = [this](const std::wstring& text) { wb_TitleChange(text); };
    wb_->DocumentComplete = [this](const browser::WebFrame& frame, const std::wstring& url) {
        wb_DocumentComplete(frame, url);
    };
    wb_->NewWindow = [this](const std::wstring& url, bool& Processed) { Web_V1_NewWindow(url, Processed); };
    ApplyZoom();
    wb_->Navigate(L"about:blank");
}

void WebUrl::Form_Resize() {
    // A failing step is skipped; the rest of the resize goes on.
    RECT client;
    if (::GetClientRect(handle(), &client)) Picture1.Move(0, 0, client.right, client.bottom);
}

void WebUrl::Picture1_Resize() {
    // The browser's 2-pixel frame lies outside the visible box on every side.
    RECT box;
    if (wb_ && ::GetClientRect(Picture1.hWnd(), &box)) wb_->Move(-2, -2, box.right + 4, box.bottom + 4);
}

void WebUrl::Form_Unload() {
    Picture1.Resize = nullptr;
    // The engine keeps itself alive while one of its own events is running.
    if (auto browser = std::move(wb_)) {
        browser->DownloadBegin = nullptr;
        browser->TitleChange = nullptr;
        browser->DocumentComplete = nullptr;
        browser->NewWindow = nullptr;
    }
}

void WebUrl::SetZoom(int percent) {
    zoom_ = percent;
    ApplyZoom();
}

void WebUrl::SetScale(const DpiScale& scale) {
    scale_ = scale;
    ApplyZoom();
}

void WebUrl::ApplyZoom() {
    // The window's own scale times the tab's.
    if (wb_) wb_->SetZoom(EffectivePageZoom(scale_, zoom_));
}

void WebUrl::OpenURL(const std::wstring& url) {
    Load();
    if (wb_) wb_->Navigate(url);
}

void WebUrl::Initialize(IuTab* strip, const std::shared_ptr<CTabItem>& item) {
    strip_ = strip;
    item_ = item;
}

void WebUrl::RefreshPage() {
    if (wb_) wb_->Refresh();
}

void WebUrl::wb_DownloadBegin() {
    if (wb_) wb_->SetSilent(true);
}

void WebUrl::wb_TitleChange(const std::wstring& text) {
    // Before the form has its tab there is no caption to set.
    if (auto item = item_.lock()) item->SetCaption(text);
}

void WebUrl::wb_DocumentComplete(const browser::WebFrame&, const std::wstring&) {
    if (!wb_) return;
    wb_->SetSilent(true);
    // The top-level document, at every completion, frames included: whichever finishes last.
    wb_->SetRootOverflow(L"hidden");
}

void WebUrl::Web_V1_NewWindow(const std::wstring& url, bool& Processed) {
    // No browser window of its own, ever; only web addresses go on to the default browser.
    Processed = true;
    if (!IsWebAddress(url)) return;
    if (shellOpen_) shellOpen_(url);
    else sys::ShellOpen(url);
}

}  // namespace xcyh2
