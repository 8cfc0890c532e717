#include "startup/LoadFrm.h"

#include <windows.h>
#include <shellapi.h>
#include <wininet.h>

#include <utility>

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
    // Nothing before the loading picture needs the player or a window until the answers are in:
    // the picture is decoded, and the connection checked and the manifest fetched, each on a
    // thread of its own while the window is made. Form_Load acts on the answers, in the same
    // order as ever, before anything of the shell is shown.
    if (!m_downfile) m_downfile = std::make_unique<CDownLoadFile>();
    pictureWork_ = BackgroundWork([this] { picture_.Compose(settings::kResLoadingPicture, settings::kResTypePng); });
    checkWork_ = BackgroundWork([this] {
        DWORD flags = 0;
        bool online = ::InternetGetConnectedState(&flags, 0) != FALSE;
        if (online) FetchUpdateManifest();
        online_ = online;
    });
}

void LoadFrm::Form_Load() {
    HWND hwnd = handle();
    // The picture goes onto the window while it is still hidden.
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

    // The start-up checks are answered once, on the first load.
    checkWork_.Wait();
    if (std::optional<bool> online = std::exchange(online_, std::nullopt)) {
        if (!*online) {
            forms::MsgBox(settings::kOfflineMessage, MB_OK | MB_ICONEXCLAMATION);
            EndAtOnce();
        }
        CheckUpdate();
    }
    if (IsWebSwitch(ArgumentString(::GetCommandLineW()))) {
        ::ShellExecuteA(nullptr, "open", WideToAnsi(settings::kHomePageUrl).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        EndAtOnce();
    }
    // The picture is on screen while the login window loads (which decodes the large backdrop
    // and starts the browser): the player sees the shell at once.
    ::ShowWindow(hwnd, SW_SHOWNORMAL);
    LoadLoginWindow();
}

void LoadFrm::EndAtOnce() {
    // No thread is cut off in the middle of its work.
    pictureWork_.Wait();
    checkWork_.Wait();
    forms::Application::EndAtOnce();
}

void LoadFrm::Form_Unload() {
    pictureWork_.Wait();
    picture_.Release();
}

}  // namespace xcyh2
