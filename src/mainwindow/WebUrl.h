// The form that shows one game page in a tab. It keeps its browser silent (no script-error
// dialogs), hides the page's own scroll bars, gives its tab the page's title and sends every
// request for a new browser window to the system's default browser, web addresses only. It keeps
// its tab's page zoom, which every page it shows gets, with the window's scale added.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "base/DpiScale.h"
#include "browser/WebBrowser.h"
#include "forms/Form.h"
#include "forms/PictureBox.h"
#include "mainwindow/PageZoom.h"
#include "tabstrip/CTabItem.h"
#include "tabstrip/TabInterfaces.h"

namespace xcyh2 {

class WebUrl : public forms::Form, public ITabForm {
public:
    using BrowserFactory =
        std::function<std::shared_ptr<browser::IWebBrowser>(HWND parent, int x, int y, int width, int height)>;
    // Opens an address with the shell's "open" verb (the default browser).
    using ShellOpen = std::function<void(const std::wstring& url)>;

    // Empty arguments mean the real things.
    explicit WebUrl(BrowserFactory browserFactory = {}, ShellOpen shellOpen = {});
    ~WebUrl() override;

    // Loads the form when needed (which shows about:blank first), then opens the address.
    void OpenURL(const std::wstring& url);

    // ITabForm
    TabWnd hWnd() override { return Form::hWnd(); }
    void Initialize(IuTab* strip, const std::shared_ptr<CTabItem>& item) override;
    void RefreshPage() override;

    browser::IWebBrowser* wb() const { return wb_.get(); }

    // The tab's page zoom in per cent, kZoomDefault for a new tab. Set before the form is
    // loaded or a page has completed, it applies once there is one.
    int Zoom() const { return zoom_; }
    void SetZoom(int percent);
    // The holding window's scale, which the page's zoom is multiplied by.
    void SetScale(const DpiScale& scale);

protected:
    forms::WindowDesign Design() const override;
    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload() override;

private:
    void Picture1_Resize();
    void ApplyZoom();
    void wb_DownloadBegin();
    void wb_TitleChange(const std::wstring& text);
    void wb_DocumentComplete(const browser::WebFrame& frame, const std::wstring& url);
    void Web_V1_NewWindow(const std::wstring& url, bool& Processed);

    BrowserFactory browserFactory_;
    ShellOpen shellOpen_;
    forms::PictureBox Picture1;
    std::shared_ptr<browser::IWebBrowser> wb_;
    IuTab* strip_ = nullptr;
    std::weak_ptr<CTabItem> item_;  // the item owns this form
    int zoom_ = kZoomDefault;
    DpiScale scale_;
};

}  // namespace xcyh2
