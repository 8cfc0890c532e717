// The shell's windows and the one place they meet: the start-up window (the loading picture),
// the login background and login page windows, and the main window. Each form is made when it
// is first referred to, as the classic runtime does, and tied to the others then: the start-up
// window asks for the login window, the login window takes over the loading picture and hands
// the game to the main window, and the main window's other-account command shows the login
// window again. No form reaches another but through this object.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "login/LoginHost.h"

namespace xcyh2 {

class LoadFrm;
class LoginBgFrm;
class LoginFrm;
class WebMainFrm;

class ShellWindows : private ILoginHost {
public:
    ShellWindows();
    ~ShellWindows();
    ShellWindows(const ShellWindows&) = delete;
    ShellWindows& operator=(const ShellWindows&) = delete;

    LoadFrm& loadFrm();
    LoginBgFrm& loginBgFrm();
    LoginFrm& loginFrm();
    WebMainFrm& webMainFrm();

    // A key message from the message loop, before the pages see it: true when one of the
    // windows took it as its own. Refers to no form that is not there yet.
    bool TranslateKey(MSG& msg);

private:
    // ILoginHost
    bool LoadingPictureShown() override;
    void EndLoadingPicture() override;
    void OpenGame(const std::wstring& strURL) override;

    // Declared in the order they are made at start-up, so they go in reverse: the login page
    // window before the background it lies over.
    std::unique_ptr<LoadFrm> LoadFrm_;
    std::unique_ptr<LoginBgFrm> LoginBgFrm_;
    std::unique_ptr<LoginFrm> LoginFrm_;
    std::unique_ptr<WebMainFrm> WebMainFrm_;
};

}  // namespace xcyh2
