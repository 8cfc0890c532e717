#include "startup/LoadFrm.h"

#include <windows.h>

#include "generated/PublisherKey.h"
#include "base/Cng.h"
#include "base/ComApartment.h"
#include "base/SystemLibraries.h"
#include "base/WindowScale.h"
#include "base/ansi.h"
#include "forms/Application.h"
#include "forms/MsgBox.h"
#include "base/CommandLine.h"
#include "resources/ResourceIds.h"
#include "base/Settings.h"

namespace xcyh2 {
namespace {
constexpr UINT kLoadLoginWindowMessage = XCYH2_WM_LOAD_LOGIN;
}  // namespace

forms::WindowDesign LoadFrm::Design() const {
    forms::WindowDesign design;
    design.className = L"LoadFrm";
    design.caption = settings::kWindowCaption;
    design.style = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX;  // no border, no caption bar
    // At the scale a new window gets on the screen; the load applies the window's own.
    const DpiScale scale = WindowScale(nullptr);
    design.width = scale.Pixels(settings::kLoadingPictureWidth);
    design.height = scale.Pixels(settings::kLoadingPictureHeight);
    design.CentreOnScreen();
    return design;
}

void LoadFrm::Form_Initialize() {
    // Before the window exists, three things run side by side: the loading picture is decoded
    // and the connection checked and the manifest fetched, each on a thread of its own, while
    // this thread reads the screen's size for the window's design (the first question about
    // the display connects to it, which takes a while). The answers are then acted on here, in
    // the same order as ever.
    if (!m_downfile) m_downfile = std::make_unique<CDownLoadFile>();
    pictureWork_ = BackgroundWork([this] {
        picture_.Compose(settings::kResLoadingPicture, settings::kResTypePng, WindowScale(nullptr));
    });
    // With the publisher's key the manifest's signature is checked next: the cryptography service
    // loads meanwhile (under Wine, with the library behind it), not after the checks.
    BackgroundWork cryptography;
    if constexpr (settings::kHasPublisherKey) cryptography = BackgroundWork([] { cng::Prepare(); });
    bool online = false;
    BackgroundWork checks([this, &online] {
        DWORD flags = 0;
        online = sys::wininet().InternetGetConnectedState.call_or(FALSE, &flags, 0) != FALSE;
        if (online) FetchUpdateManifest();
    });
    ::GetSystemMetrics(SM_CXSCREEN);
    checks.Wait();
    if (!online) {
        forms::MsgBox(settings::kOfflineMessage, MB_OK | MB_ICONEXCLAMATION);
        EndAtOnce();
    }
    CheckUpdate();
}

void LoadFrm::Form_Load() {
    if (IsWebSwitch(ArgumentString(::GetCommandLineW()))) {
        ComApartment com;  // the shell may hand the page to a COM handler
        sys::ShellOpen(settings::kHomePageUrl);
        EndAtOnce();
    }
    HWND hwnd = handle();
    pictureWork_.Wait();
    ApplyScale(WindowScale(hwnd));
    // The picture is on screen while the login window loads (which decodes the large backdrop
    // and starts the browser): the player sees the shell at once. The login window loads from
    // the message loop, once the program has started COM for the browser.
    ::ShowWindow(hwnd, SW_SHOWNORMAL);
    ::PostMessageW(hwnd, kLoadLoginWindowMessage, 0, 0);
}

void LoadFrm::ApplyScale(const DpiScale& scale) {
    // Loaded again after an unload, the picture was released with the window; composed ahead
    // of the window, it may be at another scale than the window's own.
    if (!picture_.composed() || picture_.scale().Dpi() != scale.Dpi())
        picture_.Compose(settings::kResLoadingPicture, settings::kResTypePng, scale);
    HWND hwnd = handle();
    picture_.Present(hwnd);
    // The window takes the picture's size; keep it centred on the screen.
    SIZE size = picture_.size();
    if (size.cx > 0 && size.cy > 0) {
        int x = (::GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2;
        int y = (::GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2;
        ::SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

LRESULT LoadFrm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kLoadLoginWindowMessage) {
        if (LoadLogin) LoadLogin();
        return 0;
    }
    if (msg == WM_DPICHANGED) {
        // Composed again at the new scale, centred on the screen as always.
        pictureWork_.Wait();
        ApplyScale(DpiScale(HIWORD(wParam)));
        return 0;
    }
    return Form::HandleMessage(msg, wParam, lParam);
}

void LoadFrm::EndAtOnce() {
    // No thread is cut off in the middle of its work.
    pictureWork_.Wait();
    forms::Application::EndAtOnce();
}

void LoadFrm::Form_Unload() {
    pictureWork_.Wait();
    picture_.Release();
}

}  // namespace xcyh2
