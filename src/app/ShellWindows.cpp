#include "app/ShellWindows.h"

#include "login/LoginBgFrm.h"
#include "login/LoginFrm.h"
#include "mainwindow/WebMainFrm.h"
#include "startup/LoadFrm.h"

namespace xcyh2 {

ShellWindows::ShellWindows() = default;
ShellWindows::~ShellWindows() = default;

LoadFrm& ShellWindows::loadFrm() {
    if (!LoadFrm_) {
        LoadFrm_ = std::make_unique<LoadFrm>();
        LoadFrm_->LoadLogin = [this] { loginFrm().Load(); };
    }
    return *LoadFrm_;
}

LoginBgFrm& ShellWindows::loginBgFrm() {
    if (!LoginBgFrm_) LoginBgFrm_ = std::make_unique<LoginBgFrm>();
    return *LoginBgFrm_;
}

LoginFrm& ShellWindows::loginFrm() {
    if (!LoginFrm_) {
        ILoginHost* host = this;
        LoginFrm_ = std::make_unique<LoginFrm>(loginBgFrm(), host);
    }
    return *LoginFrm_;
}

WebMainFrm& ShellWindows::webMainFrm() {
    if (!WebMainFrm_) {
        WebMainFrm_ = std::make_unique<WebMainFrm>();
        // The login window, again; an address it delivers opens in a tab of its own.
        WebMainFrm_->ShowLogin = [this] { loginFrm().Show(); };
    }
    return *WebMainFrm_;
}

bool ShellWindows::TranslateKey(MSG& msg) { return WebMainFrm_ && WebMainFrm_->TranslateKey(msg); }

bool ShellWindows::LoadingPictureShown() { return LoadFrm_ && LoadFrm_->IsLoaded(); }

void ShellWindows::EndLoadingPicture() {
    if (LoadFrm_) LoadFrm_->Unload();
}

void ShellWindows::OpenGame(const std::wstring& strURL) {
    WebMainFrm& main = webMainFrm();
    main.SetURL(strURL);
    main.Show();
}

}  // namespace xcyh2
