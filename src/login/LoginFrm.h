// The login page window: the publisher's login page in a browser control, laid over the login
// background, with the minimise and close pictures. The page drives the shell by navigating to
// app:// addresses (exit, minimise, start the game); the window stays hidden, as does the
// background, until the page has completed, and then takes over from the start-up window.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "base/DpiScale.h"
#include "base/win_handles.h"
#include "browser/WebBrowser.h"
#include "forms/Form.h"
#include "forms/Timer.h"
#include "forms/PictureBox.h"
#include "login/LoginHost.h"

namespace xcyh2 {

class LoginBgFrm;

class LoginFrm : public forms::Form {
public:
    // The page window lies over its background, which carries it along while both exist.
    explicit LoginFrm(LoginBgFrm& background, ILoginHost* host = nullptr);
    ~LoginFrm() override;

    // The background moved: put this window's top-left corner on the background's.
    void FollowBackground(int x, int y);

    // Sizes the window, places its pictures and the browser's box and draws the pictures at the
    // scale; called at load with the window's own scale, and again when that scale changes.
    void ApplyScale(const DpiScale& scale);

    // How the browser control is made (tests put a scriptable one in).
    using BrowserFactory =
        std::function<std::shared_ptr<browser::IWebBrowser>(HWND parent, int x, int y, int width, int height)>;
    void SetBrowserFactory(BrowserFactory factory) { browserFactory_ = std::move(factory); }
    // What happens when the login page is empty: the message, then the immediate end of the
    // process (tests observe it instead).
    using FatalEnd = std::function<void(const std::wstring& message)>;
    void SetFatalEnd(FatalEnd end) { fatalEnd_ = std::move(end); }

    browser::IWebBrowser* WebBrowser1() const { return WebBrowser1_.get(); }

protected:
    forms::WindowDesign Design() const override;
    void Form_Load() override;
    void Form_Unload() override;
    void Form_MouseDown(short button, short shift, int x, int y) override;

private:
    void CreateControls();
    void SetBackgroundIcons();

    void WebBrowser1_DownloadBegin();
    void WebBrowser1_BeforeNavigate2(const std::wstring& url, bool& Cancel);
    void WebBrowser1_DocumentComplete(const browser::WebFrame& frame, const std::wstring& url);
    bool m_HTMLDoc_oncontextmenu();
    void MiniBtn_Click();
    void CloseBtn_Click();
    void EndLoadingPicture();

    // How long the loading picture stays, at least, once the login windows are shown.
    static constexpr UINT kLoadingPictureOverlapMs = 200;
    forms::Timer loadingPictureEnd_;

    DpiScale scale_;
    forms::PictureBox MiniBtn;
    forms::PictureBox CloseBtn;
    forms::PictureBox Picture1;
    std::shared_ptr<browser::IWebBrowser> WebBrowser1_;
    unique_hicon smallIcon_;
    unique_hicon bigIcon_;
    BrowserFactory browserFactory_;
    FatalEnd fatalEnd_;
    LoginBgFrm& background_;
    ILoginHost* host_;
};

}  // namespace xcyh2
