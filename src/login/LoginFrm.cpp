#include "login/LoginFrm.h"

#include "base/WindowScale.h"
#include "forms/Application.h"
#include "forms/MsgBox.h"
#include "login/AppCommand.h"
#include "picture/ArtSets.h"
#include "picture/GdiPlus.h"
#include "picture/ImageBitmap.h"
#include "login/LoginBgFrm.h"
#include "resources/ResourceIds.h"
#include "base/PublicData.h"
#include "base/Settings.h"

namespace xcyh2 {
namespace {

constexpr COLORREF kColourKey = RGB(254, 254, 254);
constexpr int kMiniPicture = IDR_GIF_MINI;
constexpr int kClosePicture = IDR_GIF_CLOSE;

// The window and its controls at 96 DPI, in pixels from the window's top-left corner (the
// browser's from its box's). The browser is 19 pixels larger than its box and starts one pixel
// above and left of it: its own border and its scroll bars lie outside the box and are clipped.
constexpr EdgeRect kWindow{0, 0, settings::kLoginBackgroundWidth, settings::kLoginBackgroundHeight};
constexpr EdgeRect kMiniBtn{1120, 130, 1120 + 28, 130 + 28};
constexpr EdgeRect kCloseBtn{1152, 125, 1152 + 34, 125 + 34};
constexpr EdgeRect kPicture1{415, 179, 415 + 732, 179 + 425};
constexpr EdgeRect kWebBrowser1{-1, -1, -1 + 751, -1 + 444};

}  // namespace

LoginFrm::LoginFrm(LoginBgFrm& background, ILoginHost* host) : background_(background), host_(host) {
    background_.CarryPage(this);
}

LoginFrm::~LoginFrm() { background_.CarryPage(nullptr); }

forms::WindowDesign LoginFrm::Design() const {
    forms::WindowDesign design;
    design.className = L"LoginFrm";
    design.caption = settings::kDesignCaption;
    design.style = WS_POPUP | WS_CLIPCHILDREN;
    // At the scale a new window gets on the screen; the load applies the window's own.
    const EdgeRect window = WindowScale(nullptr).Rect(kWindow);
    design.width = window.Width();
    design.height = window.Height();
    design.clientSize = true;
    design.CentreOnScreen();
    design.background = kColourKey;
    return design;
}

void LoginFrm::FollowBackground(int x, int y) {
    if (!IsLoaded()) return;
    ::SetWindowPos(handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void LoginFrm::CreateControls() {
    HWND hwnd = handle();
    // The two pictures are drawn over the colour key, so their transparent pixels let the
    // background show through. Controls start at their places at the window's scale; the
    // pictures are drawn by ApplyScale.
    const EdgeRect mini = scale_.Rect(kMiniBtn), close = scale_.Rect(kCloseBtn);
    MiniBtn.Create(hwnd, mini.left, mini.top, mini.Width(), mini.Height(), 0, kColourKey);
    CloseBtn.Create(hwnd, close.left, close.top, close.Width(), close.Height(), 0, kColourKey);
    MiniBtn.Click = [this] { MiniBtn_Click(); };
    CloseBtn.Click = [this] { CloseBtn_Click(); };
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));

    const EdgeRect box = scale_.Rect(kPicture1), web = scale_.Rect(kWebBrowser1);
    Picture1.Create(hwnd, box.left, box.top, box.Width(), box.Height());
    WebBrowser1_ = browserFactory_
                       ? browserFactory_(Picture1.hWnd(), web.left, web.top, web.Width(), web.Height())
                       : browser::CreateWebBrowser(Picture1.hWnd(), web.left, web.top, web.Width(), web.Height());
    if (!WebBrowser1_) return;
    WebBrowser1_->DownloadBegin = [this] { WebBrowser1_DownloadBegin(); };
    WebBrowser1_->BeforeNavigate2 = [this](const std::wstring& url, bool& Cancel) {
        WebBrowser1_BeforeNavigate2(url, Cancel);
    };
    WebBrowser1_->DocumentComplete = [this](const browser::WebFrame& frame, const std::wstring& url) {
        WebBrowser1_DocumentComplete(frame, url);
    };
    WebBrowser1_->Document_oncontextmenu = [this] { return m_HTMLDoc_oncontextmenu(); };
}

void LoginFrm::ApplyScale(const DpiScale& scale) {
    scale_ = scale;
    HWND hwnd = handle();
    // No frame: the window is its client area.
    const EdgeRect window = scale.Rect(kWindow);
    ::SetWindowPos(hwnd, nullptr, 0, 0, window.Width(), window.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    auto place = [&scale](forms::PictureBox& box, const EdgeRect& rect96) {
        const EdgeRect r = scale.Rect(rect96);
        box.Move(r.left, r.top, r.Width(), r.Height());
        return r;
    };
    const EdgeRect mini = place(MiniBtn, kMiniBtn), close = place(CloseBtn, kCloseBtn);
    place(Picture1, kPicture1);
    const EdgeRect web = scale.Rect(kWebBrowser1);
    if (WebBrowser1_) {
        WebBrowser1_->Move(web.left, web.top, web.Width(), web.Height());
        // The publisher's page at the window's scale, as the game's pages are.
        WebBrowser1_->SetZoom(scale.Percent());
    }
    GdiplusSession gdiplus;
    gdiplus.Startup();
    const int set = scale.ArtSet();
    MiniBtn.SetPicture(ImageToBitmap(LoadGifArt(kMiniPicture, set), kColourKey, mini.Width(), mini.Height()));
    CloseBtn.SetPicture(ImageToBitmap(LoadGifArt(kClosePicture, set), kColourKey, close.Width(), close.Height()));
}

void LoginFrm::SetBackgroundIcons() {
    std::wstring iconFile = GetTempDir() + settings::kIconFileName;
    SaveResToFile(settings::kResIconFile, settings::kResTypeIcon, iconFile);
    // The sizes the taskbar shows at the screen's scale (16 and 32 at 96 DPI).
    const int small = ::GetSystemMetrics(SM_CXSMICON), big = ::GetSystemMetrics(SM_CXICON);
    smallIcon_.reset(
        static_cast<HICON>(::LoadImageW(nullptr, iconFile.c_str(), IMAGE_ICON, small, small, LR_LOADFROMFILE)));
    bigIcon_.reset(static_cast<HICON>(::LoadImageW(nullptr, iconFile.c_str(), IMAGE_ICON, big, big, LR_LOADFROMFILE)));
    // Referring to the background's window loads it (hidden).
    HWND background = background_.hWnd();
    ::SendMessageW(background, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    ::SendMessageW(background, WM_SETICON, 2, reinterpret_cast<LPARAM>(bigIcon_.get()));
}

void LoginFrm::Form_Load() {
    scale_ = WindowScale(handle());
    CreateControls();
    ApplyScale(scale_);
    SetBackgroundIcons();
    if (WebBrowser1_) WebBrowser1_->Navigate(settings::kLoginPageUrl);
    HWND hwnd = handle();
    ::SetWindowLongW(hwnd, GWL_EXSTYLE, ::GetWindowLongW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(hwnd, kColourKey, 0, LWA_COLORKEY);
    ::SetWindowLongPtrW(hwnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(background_.hWnd()));
    background_.Load();
}

void LoginFrm::Form_Unload() {
    // Going before its timer: the loading picture it was to end goes with it.
    if (loadingPictureEnd_.Enabled()) EndLoadingPicture();
    // Unloading may run inside the browser's own event handler: the engine keeps itself alive
    // until that handler has returned, so dropping the reference here is safe.
    if (WebBrowser1_) {
        WebBrowser1_->DownloadBegin = nullptr;
        WebBrowser1_->BeforeNavigate2 = nullptr;
        WebBrowser1_->DocumentComplete = nullptr;
        WebBrowser1_->Document_oncontextmenu = nullptr;
        WebBrowser1_.reset();
    }
    // The background may still be showing the icons: take them back before they go.
    if (background_.exists()) {
        ::SendMessageW(background_.handle(), WM_SETICON, ICON_SMALL, 0);
        ::SendMessageW(background_.handle(), WM_SETICON, 2, 0);
    }
    bigIcon_.reset();
    smallIcon_.reset();
}

void LoginFrm::Form_MouseDown(short button, short shift, int x, int y) {
    if (button == forms::kLeftButton) forms::StartSystemDrag(handle());
}

void LoginFrm::WebBrowser1_DownloadBegin() {
    if (WebBrowser1_) WebBrowser1_->SetSilent(true);
}

void LoginFrm::WebBrowser1_BeforeNavigate2(const std::wstring& url, bool& Cancel) {
    AppCommand command = RecognizeAppCommand(url);
    switch (command.kind) {
        case AppCommandKind::kExitGame:
            Cancel = true;
            background_.Unload();
            break;
        case AppCommandKind::kMinimize:
            Cancel = true;
            background_.Minimize();
            break;
        case AppCommandKind::kLoadGame:
            if (command.gameUrl.empty()) {
                // No game address to open: the login stays as it is.
                Cancel = true;
                break;
            }
            background_.Unload();
            if (host_) host_->OpenGame(command.gameUrl);
            break;
        case AppCommandKind::kNone:
            break;
    }
}

void LoginFrm::WebBrowser1_DocumentComplete(const browser::WebFrame& frame, const std::wstring& url) {
    // A handler may unload this window; hold the browser for the length of the call.
    std::shared_ptr<browser::IWebBrowser> browser = WebBrowser1_;
    if (!browser) return;
    browser->SetSilent(true);
    if (browser->DocumentRootInnerHtml().empty()) {
        if (fatalEnd_) {
            fatalEnd_(settings::kOfflineMessage);
            return;
        }
        forms::MsgBox(settings::kOfflineMessage, MB_OK | MB_ICONEXCLAMATION);
        forms::Application::EndAtOnce();
    }
    if (browser->DocumentUrl().find(url) == std::wstring::npos) return;
    background_.Show();
    Show();
    // Shown again for another account, this window was up before its background: the page
    // goes back in front of it.
    ::SetWindowPos(handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    // The loading picture goes once the login windows have been drawn. A shown window's
    // contents reach the screen only after its thread is back in the message loop and has
    // painted, and a first paint of the page may take a while: unloaded here, the picture would
    // leave the screen bare for that long. The timer's message comes after every paint.
    if (host_ && host_->LoadingPictureShown() && !loadingPictureEnd_.Enabled()) {
        loadingPictureEnd_.Tick = [this] { EndLoadingPicture(); };
        loadingPictureEnd_.SetInterval(kLoadingPictureOverlapMs);
        loadingPictureEnd_.SetEnabled(true);
    }
}

void LoginFrm::EndLoadingPicture() {
    loadingPictureEnd_.SetEnabled(false);
    if (host_) host_->EndLoadingPicture();
}

bool LoginFrm::m_HTMLDoc_oncontextmenu() { return false; }

void LoginFrm::MiniBtn_Click() { background_.Minimize(); }

void LoginFrm::CloseBtn_Click() { background_.Unload(); }

}  // namespace xcyh2
