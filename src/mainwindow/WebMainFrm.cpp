// The main window's life: its controls, the start-up steps, opening game addresses in tabs,
// the layout at every size change, and closing.
#include "mainwindow/WebMainFrm.h"

#include <algorithm>

#include "base/EventLog.h"
#include "base/ScopedFlag.h"
#include "base/SystemLibraries.h"
#include "base/decimal.h"
#include "base/WindowScale.h"
#include "desktop/MsgFrm.h"
#include "forms/Application.h"
#include "mainwindow/GameAddress.h"
#include "mainwindow/MainLayout.h"
#include "picture/ArtSets.h"
#include "forms/ScreenAreas.h"
#include "resources/ResourceIds.h"
#include "base/Settings.h"

namespace xcyh2 {
namespace {

constexpr COLORREF kFrameColour = RGB(28, 78, 140);

// Bitmap resources of the window.
constexpr int kBitmapMin = IDB_BTN_MIN, kBitmapMinMax = IDB_BTN_MAX, kBitmapClose = IDB_BTN_CLOSE, kBitmapTool = IDB_BTN_TOOL,
              kBitmapLogo = IDB_LOGO;

// The design size of the client area, twips.
constexpr int kDesignWidth = 15540, kDesignHeight = 9585;

// The logo drawn for the art set of the scale, shown at the 100 % picture's size times the scale.
void ShowLogo(forms::PictureBox& box, const DpiScale& scale) {
    const ArtBitmap logo = LoadArtBitmap(kBitmapLogo, scale.ArtSet(), RGB(0, 0, 0));
    box.SetPicture(logo.bitmap, logo.size96);
}

}  // namespace

forms::WindowDesign WebMainFrm::Design() const {
    forms::WindowDesign design;
    design.className = L"WebMainFrm";
    design.caption = settings::kDesignCaption;
    // No system frame: the window draws its own and sizes itself.
    design.style = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    // Made on the primary screen at its scale; the window's own scale is read once it exists.
    // A dense screen with few pixels (200 % on a 1080-line screen) has no room for the design
    // size: the window then fits the work area.
    const DpiScale scale = WindowScale(nullptr);
    RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    design.width = std::min<int>(scale.TwipsToPixels(kDesignWidth), work.right - work.left);
    design.height = std::min<int>(scale.TwipsToPixels(kDesignHeight), work.bottom - work.top);
    design.x = 0;
    design.y = 0;
    design.background = kFrameColour;
    return design;
}

std::shared_ptr<browser::IWebBrowser> WebMainFrm::MakeBrowser(HWND parent, int x, int y, int width, int height) {
    if (environment_.browserFactory) return environment_.browserFactory(parent, x, y, width, height);
    return browser::CreateWebBrowser(parent, x, y, width, height);
}

void WebMainFrm::ShellOpen(const std::wstring& url) {
    if (environment_.shellOpen) environment_.shellOpen(url);
    else sys::ShellOpen(url);
}

// ---- loading ---------------------------------------------------------------------------------

void WebMainFrm::CreateControls() {
    HWND hwnd = handle();
    // Created from the bottom of the stack up: the buttons and the tab captions stay visible
    // where controls overlap.
    Picture1_.Create(hwnd, Px(1320), Px(840), Px(8775), Px(5535));
    TwipRect browserBox = PlaceholderBrowser(8775, 5535);
    WebBrowser1_ = MakeBrowser(Picture1_.hWnd(), Px(browserBox.left), Px(browserBox.top), Px(browserBox.width),
                               Px(browserBox.height));
    pCnt_.Create(hwnd, Px(6240), Px(1440), Px(2415), Px(1695));
    frame_.Create(hwnd, Px(15495), scale_);
    tabs_.SetScale(scale_);
    tabs_.Create(hwnd, Px(2160), Px(30), Px(10215),
                 {[this] { Picture1_.SetVisible(false); }, [this] { return !web_minmax_.Value(); },
                  [this] { CloseCommand(); }});
    PicLogo_.SetScale(scale_);
    PicLogo_.Create(hwnd, Px(100), Px(30), Px(440), Px(440), 0, kFrameColour);
    // The two links: white underlined captions straight on the bar.
    FontDesc link;
    link.underline = true;
    for (iButton* button : {&OtherUserBtn_, &GameSpaceBtn_, &web_tool_, &web_min_, &web_minmax_, &web_close_, &iButton1_})
        button->SetDpi(scale_.Dpi());
    const forms::PropertyBag linkButton{{L"AutoSize", false},
                                        {L"cBackStyle", 0},
                                        {L"cFont", FontToText(link)},
                                        {L"cForeColor", static_cast<std::int32_t>(RGB(255, 255, 255))}};
    OtherUserBtn_.Create(hwnd, Px(10680), 0, Px(1485), Px(330), linkButton);
    OtherUserBtn_.SetCaption(L"登录其他帐号");
    GameSpaceBtn_.Create(hwnd, Px(12240), 0, Px(1215), Px(330), linkButton);
    GameSpaceBtn_.SetCaption(L"游戏官网");
    const forms::PropertyBag pictureButton{{L"AutoSize", false}};
    web_tool_.Create(hwnd, Px(12600), Px(15), Px(360), Px(270), pictureButton);
    web_min_.Create(hwnd, Px(12960), Px(15), Px(360), Px(270), pictureButton);
    web_minmax_.Create(hwnd, Px(13320), Px(15), Px(375), Px(270), {{L"AutoSize", false}, {L"Style", 1}});
    web_close_.Create(hwnd, Px(13680), Px(15), Px(645), Px(270), pictureButton);
    // A button with a tip and nothing else to do; it is not shown, so it covers nothing.
    iButton1_.Create(hwnd, 0, 0, Px(645), Px(435), pictureButton);
    ::ShowWindow(iButton1_.hWnd(), SW_HIDE);
    iButton1ToolTip_.Create(iButton1_.hWnd());
    iButton1ToolTip_.SetText(L"清理缓存");
    // What screen readers call the picture buttons: their tip, or their job.
    iButton1_.SetAccessibleName(L"清理缓存");
    web_tool_.SetAccessibleName(L"菜单");
    web_min_.SetAccessibleName(L"最小化");
    web_minmax_.SetAccessibleName(L"最大化/还原");
    web_close_.SetAccessibleName(L"关闭");

    // Stacked as created, the last on top (a new child's place in the stack differs between
    // systems).
    for (HWND control : {Picture1_.hWnd(), pCnt_.hWnd(), frame_.TitleBar(), tabs_.WebuTab()->hWnd(), PicLogo_.hWnd(),
                         OtherUserBtn_.hWnd(), GameSpaceBtn_.hWnd(), web_tool_.hWnd(), web_min_.hWnd(),
                         web_minmax_.hWnd(), web_close_.hWnd()}) {
        ::SetWindowPos(control, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    CreateMenu();
    ConnectEvents();
}

void WebMainFrm::CreateMenu() {
    if (!appmenu_.Names().empty()) return;
    appmenu_.Add(L"refresh", L"刷新(F5)") = [this] { refresh_Click(); };
    appmenu_.Add(L"hiderestore", L"隐藏/恢复(F10)") = [this] { hiderestore_Click(); };
    appmenu_.Add(L"clearcache", L"清除缓存") = [this] { clearcache_Click(); };
    appmenu_.Add(L"line", L"-");
    appmenu_.Add(L"update", L"更新") = [this] { update_Click(); };
    appmenu_.Add(L"version", L"版本号:");
    appmenu_.Add(L"exit", L"退出") = [this] { CloseCommand(); };
}

void WebMainFrm::ConnectEvents() {
    auto arrow = [] { ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW)); };
    web_close_.Click = [this] { CloseCommand(); };
    web_minmax_.Click = [this] { web_minmax_Click(); };
    web_min_.Click = [this] { web_min_Click(); };
    web_tool_.Click = [this] { web_tool_Click(); };
    GameSpaceBtn_.Click = [this] { GameSpaceBtn_Click(); };
    OtherUserBtn_.Click = [this] { OtherUserBtn_Click(); };
    pCnt_.MouseDown = pCnt_.MouseMove = PicLogo_.MouseDown = PicLogo_.MouseMove = [arrow](short, short, int, int) {
        arrow();
    };
    Picture1_.Resize = [this] { Picture1_Resize(); };
}

void WebMainFrm::Form_Load() {
    HWND hwnd = handle();
    scale_ = WindowScale(hwnd);
    m_bExit = false;
    fullScreen_ = false;  // a window loaded anew starts as it was designed
    commands_.Reset();
    CreateControls();
    // 1-3: the small icon, the tray icon, the large icon.
    tray_.Add(hwnd, environment_.shellNotify);
    // 4: F10 and the tray's messages.
    hotKey_.Hook(hwnd, [this] { PopupAppMenu(); });
    // 5: the version item.
    forms::ProgramVersion version = forms::Application::Version();
    appmenu_.SetCaption(L"version", L"版本号:" + DecimalText(version.major) + L"." +
                                        DecimalText(version.minor) + L"." + DecimalText(version.revision));
    // 6: captions.
    frame_.SetCaption(settings::kGameTitle);
    SetCaption(settings::kWindowCaption);
    // 7-8: borderless, sized and maximised by the styling object, which also reports the system
    // menu's Close; the title bar drags this window while it is restored.
    frame_.SetWindowStyle([this] { objStyle_CloseClick(); });
    // 9: the middle of the screen, size unchanged.
    frame_.Centre();
    // 10: the buttons' pictures; the maximise button starts in its maximised state.
    web_close_.SetBackPicture(Picture::LoadBitmapResource(kBitmapClose));
    web_minmax_.SetBackPicture(Picture::LoadBitmapResource(kBitmapMinMax));
    web_min_.SetBackPicture(Picture::LoadBitmapResource(kBitmapMin));
    web_minmax_.SetValue(true);
    web_tool_.SetBackPicture(Picture::LoadBitmapResource(kBitmapTool));
    // 11: the pages' container; drawing on.
    tabs_.SetContainer(pCnt_.hWnd());
    // 12: the logo.
    ShowLogo(PicLogo_, scale_);
    // 13: the maximise command, without flipping the button: the window comes up maximised.
    web_minmax_Click();
    LayOut();
}

// ---- closing ---------------------------------------------------------------------------------

void WebMainFrm::Form_QueryUnload(bool& cancel) {
    if (m_bExit) return;
    // A second close while the question is open (the tray menu stays reachable) waits for the
    // answer to the first rather than asking again.
    if (askingExit_) {
        cancel = true;
        return;
    }
    ScopedFlag asking(askingExit_);  // cleared however the question ends, also by an exception
    if (environment_.askExit) m_bExit = environment_.askExit();
    else MsgFrm::Ask(handle(), m_bExit);
    if (!m_bExit) cancel = true;
}

void WebMainFrm::Form_Unload() {
    hotKey_.Release();
    tabs_.Clear();
    frame_.Release();
    tray_.Remove();
    // What goes with the window: the strip (this may run inside the strip's own close event),
    // the placeholder browser.
    tabs_.Destroy();
    iButton1ToolTip_.Destroy();
    WebBrowser1_.reset();
    // A running update check ends after its current chunk and offers nothing.
    if (download_) download_->StopDownLoad();
    download_.reset();
    commands_.Reset();
}

void WebMainFrm::CloseCommand() { Unload(); }

bool WebMainFrm::TranslateKey(const MSG& msg) {
    bool wheel = msg.message == WM_MOUSEWHEEL;
    if ((msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN && !wheel) || !IsLoaded()) return false;
    HWND window = hWnd();
    if (msg.hwnd != window && !::IsChild(window, msg.hwnd)) return false;
    // Ctrl+wheel zooms the page, as the zoom keys do; the wheel alone scrolls it.
    if (wheel) {
        return (GET_KEYSTATE_WPARAM(msg.wParam) & MK_CONTROL) != 0 &&
               tabs_.ZoomWheel(GET_WHEEL_DELTA_WPARAM(msg.wParam));
    }
    // The modifiers as they were when this message was taken from the queue.
    KeyPress press{static_cast<std::uint32_t>(msg.wParam), ::GetKeyState(VK_CONTROL) < 0,
                   ::GetKeyState(VK_SHIFT) < 0, ::GetKeyState(VK_MENU) < 0};
    KeyDecision decision = DecideMainKey(press, tabs_.State(fullScreen_));
    switch (decision.action) {
        case KeyAction::SelectTab:
            tabs_.Select(decision.tab);
            return true;
        case KeyAction::ZoomIn:
        case KeyAction::ZoomOut:
        case KeyAction::ZoomReset:
            return tabs_.Zoom(decision.action);
        case KeyAction::ToggleFullScreen:
            SetFullScreen(!fullScreen_);
            return true;
        case KeyAction::LeaveFullScreen:
            SetFullScreen(false);
            return true;
        default:
            return false;
    }
}

void WebMainFrm::objStyle_CloseClick() {
    // The close command runs once this message has unwound: one action asks once.
    commands_.PostClose(handle());
}

LRESULT WebMainFrm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result;
    if (frame_.PaintMessage(msg, wParam, result)) return result;
    if (tray_.TaskbarCreated(msg) || commands_.Run(msg)) return 0;
    switch (msg) {
        case WM_QUERYENDSESSION: {
            // Logging off or shutting down closes the window too, and every close asks.
            if (m_bExit) return TRUE;
            bool cancel = false;
            try {
                Form_QueryUnload(cancel);
            } catch (...) {
                ReportCurrentException(L"WebMainFrm.QueryEndSession");
            }
            // Leaving is settled by WM_ENDSESSION: another program may still refuse the end.
            m_bExit = false;
            return cancel ? FALSE : TRUE;
        }
        case WM_ENDSESSION:
            // The session ends: the process goes without a message loop, so what the system
            // keeps for this window (the tray icon, the hot key, the hooks) goes now.
            if (wParam) {
                m_bExit = true;
                try {
                    Unload();
                } catch (...) {
                    ReportCurrentException(L"WebMainFrm.EndSession");
                }
            }
            return 0;
        case WM_CLOSE:
            if (commands_.ClosePending()) return 0;
            break;
        case WM_DPICHANGED:
            if (lParam) {
                try {
                    OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
                } catch (...) {
                    ReportCurrentException(L"WebMainFrm.DpiChanged");
                }
            }
            return 0;
        default:
            break;
    }
    try {
        return Form::HandleMessage(msg, wParam, lParam);
    } catch (...) {
        ReportCurrentException(L"WebMainFrm.WindowProc");
        return 0;
    }
}

// ---- game addresses --------------------------------------------------------------------------

void WebMainFrm::SetURL(const std::wstring& strURL) {
    Load();
    if (IsLoaded()) OpenGameTab(strURL);
}

void WebMainFrm::OpenGameTab(const std::wstring& strURL) {
    if (!tabs_.WebuTab()) return;
    tabs_.OpenGameTab(strURL, environment_.browserFactory, environment_.shellOpen);
    Picture1_.SetVisible(false);
}

bool WebMainFrm::DdeExecute(const std::wstring& command) {
    // Another program must not make the game window open a local file or start a program.
    std::optional<std::wstring> address = GameAddressFromCommand(command);
    if (!address) return false;
    Load();
    if (!IsLoaded()) return false;
    HWND hwnd = handle();
    if (::IsIconic(hwnd)) ::ShowWindow(hwnd, SW_RESTORE);
    OpenGameTab(*address);
    // Hidden (F10, or loaded by this request): the player asked for a page, so it is shown.
    if (!::IsWindowVisible(hwnd)) ::ShowWindow(hwnd, SW_SHOW);
    return true;
}

// ---- layout ----------------------------------------------------------------------------------

void WebMainFrm::RectRgn(HWND hWnd, int width, int Buttom, int cornerWidth, int cornerHeight) {
    forms::RectRgn(hWnd, width, Buttom, cornerWidth, cornerHeight);
}

void WebMainFrm::Form_Resize() { LayOut(); }

void WebMainFrm::SetFullScreen(bool on) {
    HWND hwnd = handle();
    if (on == fullScreen_ || !hwnd || !tabs_.WebuTab() || ::IsIconic(hwnd)) return;
    if (on) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        if (!::GetWindowRect(hwnd, &windowedRect_) ||
            !::GetMonitorInfoW(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor))
            return;
        fullScreen_ = true;
        frame_.Hold(true);
        ShowChrome(false);
        const RECT& r = monitor.rcMonitor;
        ::SetWindowPos(hwnd, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE);
    } else {
        fullScreen_ = false;
        ShowChrome(true);
        frame_.Hold(false);
        const RECT& r = windowedRect_;
        ::SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // A size that did not change sends no size message: the layout is made anew either way.
    LayOut();
}

void WebMainFrm::OnDpiChanged(int dpi, const RECT& suggested) {
    HWND hwnd = handle();
    if (!hwnd || !tabs_.WebuTab()) return;
    scale_ = DpiScale(dpi);
    frame_.SetScale(scale_);
    for (iButton* button : {&OtherUserBtn_, &GameSpaceBtn_, &web_tool_, &web_min_, &web_minmax_, &web_close_, &iButton1_})
        button->SetDpi(scale_.Dpi());
    PicLogo_.SetScale(scale_);
    ShowLogo(PicLogo_, scale_);
    tabs_.SetScale(scale_);
    RECT target = suggested;
    if (fullScreen_) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        if (::GetMonitorInfoW(::MonitorFromRect(&suggested, MONITOR_DEFAULTTONEAREST), &monitor))
            target = monitor.rcMonitor;
    } else {
        target = forms::ReachablePlace(suggested, scale_);
    }
    ::SetWindowPos(hwnd, nullptr, target.left, target.top, target.right - target.left, target.bottom - target.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    // The same size at another scale sends no size message.
    LayOut();
}

void WebMainFrm::ShowChrome(bool show) {
    for (HWND control : {frame_.TitleBar(), tabs_.WebuTab()->hWnd(), PicLogo_.hWnd(), OtherUserBtn_.hWnd(),
                         GameSpaceBtn_.hWnd(), web_tool_.hWnd(), web_min_.hWnd(), web_minmax_.hWnd(),
                         web_close_.hWnd()}) {
        ::ShowWindow(control, show ? SW_SHOWNA : SW_HIDE);
    }
}

void WebMainFrm::LayOut() {
    HWND hwnd = handle();
    uTab* WebuTab = tabs_.WebuTab();
    if (!hwnd || !WebuTab) return;  // still loading: the controls come later
    RECT window{}, client{}, strip{};
    ::GetWindowRect(hwnd, &window);
    ::GetClientRect(hwnd, &client);
    ::GetWindowRect(WebuTab->hWnd(), &strip);
    if (fullScreen_) {
        // The pages alone, square to the monitor's edges.
        if (::IsIconic(hwnd)) return;
        ::SetWindowRgn(hwnd, nullptr, TRUE);
        Picture1_.Move(0, 0, client.right, client.bottom);
        pCnt_.Move(0, 0, client.right, client.bottom);
        return;
    }
    MainLayoutInput in;
    in.width = scale_.PixelsToTwips(window.right - window.left);
    in.innerWidth = scale_.PixelsToTwips(client.right);
    in.innerHeight = scale_.PixelsToTwips(client.bottom);
    in.tabStripHeight = scale_.PixelsToTwips(strip.bottom - strip.top);
    in.minimized = ::IsIconic(hwnd);
    std::optional<MainLayout> layout = LayOutMainWindow(in, scale_);
    if (!layout) return;
    const MainLayout& l = *layout;
    // Each step on its own: one that fails leaves the others to run.
    auto step = [](const wchar_t* what, auto&& fn) {
        try {
            fn();
        } catch (...) {
            ReportCurrentException(std::wstring(L"WebMainFrm.Resize.") + what);
        }
    };
    step(L"WebBForm", [&] { frame_.Resize(Px(l.titleBar.width), Px(l.titleBar.height), client.right, client.bottom); });
    step(L"Region", [&] {
        const int corner = scale_.Pixels(kRegionCorner);
        RectRgn(hwnd, l.regionWidth, l.regionHeight, corner, corner);
    });
    step(L"Buttons", [&] {
        web_close_.Move(Px(l.closeLeft), Px(15), Px(645), Px(270));
        web_minmax_.Move(Px(l.minMaxLeft), Px(15), Px(375), Px(270));
        web_min_.Move(Px(l.minLeft), Px(15), Px(360), Px(270));
        web_tool_.Move(Px(l.toolLeft), Px(15), Px(360), Px(270));
    });
    step(L"WebuTab", [&] {
        if (l.tabStrip)
            ::SetWindowPos(WebuTab->hWnd(), nullptr, Px(l.tabStrip->left), Px(l.tabStrip->top), Px(l.tabStrip->width),
                           strip.bottom - strip.top, SWP_NOZORDER | SWP_NOACTIVATE);
    });
    step(L"GameSpaceBtn", [&] { GameSpaceBtn_.Move(Px(l.gameSpaceLeft), 0, Px(1215), Px(330)); });
    step(L"OtherUserBtn", [&] { OtherUserBtn_.Move(Px(l.otherUserLeft), 0, Px(1485), Px(330)); });
    step(L"Picture1", [&] {
        if (l.page) Picture1_.Move(Px(l.page->left), Px(l.page->top), Px(l.page->width), Px(l.page->height));
    });
    step(L"pCnt", [&] {
        if (l.page) pCnt_.Move(Px(l.page->left), Px(l.page->top), Px(l.page->width), Px(l.page->height));
    });
}

void WebMainFrm::Picture1_Resize() {
    RECT box{};
    if (!WebBrowser1_ || !::GetClientRect(Picture1_.hWnd(), &box)) return;
    TwipRect r = PlaceholderBrowser(scale_.PixelsToTwips(box.right), scale_.PixelsToTwips(box.bottom));
    WebBrowser1_->Move(Px(r.left), Px(r.top), Px(r.width), Px(r.height));
}

}  // namespace xcyh2
