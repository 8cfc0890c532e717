#include "startup/LoadFrm.h"

#include <windows.h>
#include <shellapi.h>
#include <wininet.h>

#include "base/ansi.h"
#include "forms/Application.h"
#include "forms/MsgBox.h"
#include "startup/CommandLine.h"
#include "startup/Settings.h"

namespace xcyh2 {

LoadFrm& LoadFrm::Instance() {
    static LoadFrm instance;
    return instance;
}

forms::WindowDesign LoadFrm::Design() const {
    forms::WindowDesign design;
    design.className = L"LoadFrm";
    design.caption = settings::kWindowCaption;
    design.style = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX;  // no border, no caption bar
    design.width = settings::kLoadingPictureWidth;
    design.height = settings::kLoadingPictureHeight;
    design.CentreOnScreen();
    return design;
}

void LoadFrm::Form_Initialize() {
    // The loading picture needs no window: it is decoded while the checks below run, which
    // mostly wait on the network.
    pictureWork_ = BackgroundWork([this] { picture_.Compose(settings::kResLoadingPicture, settings::kResTypePng); });
    DWORD flags = 0;
    if (!::InternetGetConnectedState(&flags, 0)) {
        forms::MsgBox(settings::kOfflineMessage, MB_OK | MB_ICONEXCLAMATION);
        EndAtOnce();
    }
    CheckUpdate();
}

void LoadFrm::Form_Load() {
    if (IsWebSwitch(ArgumentString(::GetCommandLineW()))) {
        ::ShellExecuteA(nullptr, "open", WideToAnsi(settings::kHomePageUrl).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        EndAtOnce();
    }
    HWND hwnd = handle();
    pictureWork_.Wait();
    // Loaded again after an unload: the picture was released with the window.
    if (!picture_.composed()) picture_.Compose(settings::kResLoadingPicture, settings::kResTypePng);
    picture_.Present(hwnd);
    // The window takes the picture's size; keep it centred on the screen.
    SIZE size = picture_.size();
    if (size.cx > 0 && size.cy > 0) {
        int x = (::GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2;
        int y = (::GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2;
        ::SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The picture is on screen while the login window loads (which decodes the large backdrop
    // and starts the browser): the player sees the shell at once.
    ::ShowWindow(hwnd, SW_SHOWNORMAL);
    LoadLoginWindow();
}

void LoadFrm::EndAtOnce() {
    // No thread is cut off in the middle of GDI+.
    pictureWork_.Wait();
    forms::Application::EndAtOnce();
}

void LoadFrm::Form_Unload() {
    pictureWork_.Wait();
    picture_.Release();
}

}  // namespace xcyh2
