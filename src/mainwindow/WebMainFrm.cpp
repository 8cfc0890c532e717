#include "mainwindow/WebMainFrm.h"

#include "startup/Settings.h"

namespace xcyh2 {

WebMainFrm& WebMainFrm::Instance() {
    static WebMainFrm instance;
    return instance;
}

forms::WindowDesign WebMainFrm::Design() const {
    forms::WindowDesign design;
    design.className = L"WebMainFrm";
    design.caption = settings::kWindowCaption;
    design.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    design.width = 1024;
    design.height = 700;
    return design;
}

void WebMainFrm::Form_Load() {
    RECT client;
    ::GetClientRect(handle(), &client);
    browser_ = browser::CreateWebBrowser(handle(), 0, 0, client.right, client.bottom);
    if (!browser_) return;
    browser_->DownloadBegin = [this] {
        if (browser_) browser_->SetSilent(true);
    };
    browser_->TitleChange = [this](const std::wstring& text) { SetCaption(text); };
}

void WebMainFrm::Form_Resize() {
    RECT client;
    ::GetClientRect(handle(), &client);
    if (browser_) browser_->Move(0, 0, client.right, client.bottom);
}

void WebMainFrm::Form_Unload() { browser_.reset(); }

void WebMainFrm::SetURL(const std::wstring& strURL) {
    Load();
    if (browser_) browser_->Navigate(strURL);
}

}  // namespace xcyh2
