// The main game window: a borderless window with a title bar, image buttons, a popup menu, a
// tab strip with one game page per tab, a tray icon and the global hide key F10. The owner of the
// shell's windows holds it; it is loaded by the first SetURL (the login page's start command) or
// by a DDE request from another program.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "base/DpiScale.h"
#include "browser/WebBrowser.h"
#include "controls/iButton.h"
#include "desktop/CNotifyIcon.h"
#include "forms/Form.h"
#include "forms/PictureBox.h"
#include "forms/PopupMenu.h"
#include "forms/ToolTip.h"
#include "mainwindow/MainCommands.h"
#include "mainwindow/MainFrame.h"
#include "mainwindow/MainHotKey.h"
#include "mainwindow/MainTabHost.h"
#include "mainwindow/MainTray.h"
#include "mainwindow/WebUrl.h"
#include "resources/ResourceIds.h"
#include "update/DownLoadFile.h"
#include "update/UpdateCheck.h"

namespace xcyh2 {

class WebMainFrm : public forms::Form, private IUpdateHost {
public:
    WebMainFrm() = default;

    // Opens the game page in a tab (loading the window first when needed); the caller shows
    // the window.
    void SetURL(const std::wstring& strURL);
    // Selects the address's tab, or opens a new one for it; an open page is not reloaded.
    void OpenGameTab(const std::wstring& strURL);
    // A DDE execute request: opens a web address as the player expects to see it (the window
    // loaded, restored from minimised, shown when hidden). False for any other command, which
    // opens nothing.
    bool DdeExecute(const std::wstring& command);

    // Cuts hWnd to a rectangle with elliptic corners; the window owns the region.
    static void RectRgn(HWND hWnd, int width, int Buttom, int cornerWidth, int cornerHeight);

    // The other-account command: the owner shows the login page window again.
    std::function<void()> ShowLogin;

    // What the tests replace. Empty members mean the real things.
    struct Environment {
        WebUrl::BrowserFactory browserFactory;  // the pages' and the placeholder's browsers
        WebUrl::ShellOpen shellOpen;            // the default browser
        std::function<bool()> askExit;          // the exit question (the skinned dialog): true to leave
        UpdateCheckEnvironment update;          // the update command's check
        // Messages of the commands (text, caption, flags); returns the button.
        std::function<int(const std::wstring& text, const std::wstring& caption, UINT flags)> msgBox;
        desktop::ShellNotifyFunction shellNotify = nullptr;  // the tray icon's shell call
    };
    void SetEnvironment(Environment environment) { environment_ = std::move(environment); }

    // A key or wheel message from the message loop, before the page has it: true when the
    // window took it as its own (a tab switch, a zoom step). Other windows' are not looked at.
    bool TranslateKey(const MSG& msg);

    // The close command of the buttons, the menu and the last tab.
    void CloseCommand();

    // Full screen (F11): the pages alone over the window's whole monitor, the taskbar covered.
    // Leaving puts the window back exactly where and as it was, maximised or not.
    void SetFullScreen(bool on);
    bool FullScreen() const { return fullScreen_; }

    // The tests' one way in (tests/mainwindow/WebMainFrmTestView.h).
    struct TestView;

protected:
    forms::WindowDesign Design() const override;
    void Form_Load() override;
    void Form_QueryUnload(bool& cancel) override;
    void Form_Unload() override;
    void Form_Resize() override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // Commands the window posts to itself, to run once the message that asked has unwound.
    static constexpr UINT kCloseCommandMessage = XCYH2_WM_CLOSE_COMMAND;
    static constexpr UINT kUpdateCommandMessage = XCYH2_WM_UPDATE_COMMAND;

    // IUpdateHost
    void SetExitFlag() override { m_bExit = true; }
    void UnloadMainWindow() override { Unload(); }

    // Twips (the design's unit) in the window's pixels.
    int Px(int twips) const { return scale_.TwipsToPixels(twips); }
    void CreateControls();
    void CreateMenu();
    void LayOut();
    // Every size, font and picture at a new scale; then the window goes where the system asked
    // (a rectangle a player can reach) and is laid out anew.
    void OnDpiChanged(int dpi, const RECT& suggested);
    // The title bar, the tab strip, the logo, the links and the buttons: hidden in full screen.
    void ShowChrome(bool show);
    void Picture1_Resize();
    void ConnectEvents();
    std::shared_ptr<browser::IWebBrowser> MakeBrowser(HWND parent, int x, int y, int width, int height);
    void ShellOpen(const std::wstring& url);

    void web_minmax_Click();
    void web_min_Click();
    void web_tool_Click();
    void PopupAppMenu();
    void GameSpaceBtn_Click();
    void OtherUserBtn_Click();
    void refresh_Click();
    void hiderestore_Click();
    void clearcache_Click();
    void update_Click();
    void RunMenuUpdateCheck();
    void objStyle_CloseClick();

    // True: leaving is confirmed, closing asks nothing.
    bool m_bExit = false;
    Environment environment_;
    DpiScale scale_;  // the window's, read when it loads

    // Controls, in the order they are stacked from the bottom; the title bar is the frame's,
    // the tab strip the tab host's.
    forms::PictureBox Picture1_;
    std::shared_ptr<browser::IWebBrowser> WebBrowser1_;
    forms::PictureBox pCnt_;
    MainFrame frame_;
    MainTabHost tabs_;
    forms::PictureBox PicLogo_;
    iButton OtherUserBtn_, GameSpaceBtn_, web_tool_, web_min_, web_minmax_, web_close_, iButton1_;
    forms::PopupMenu appmenu_{L"程序菜单"};
    forms::ToolTip iButton1ToolTip_;

    MainTray tray_;
    MainHotKey hotKey_;
    MainCommands commands_{{kCloseCommandMessage, [this] { CloseCommand(); }},
                           {kUpdateCommandMessage, [this] { RunMenuUpdateCheck(); }}};
    // Shared with the running update check, which holds it while the window may unload.
    std::shared_ptr<CDownLoadFile> download_;
    bool askingExit_ = false;
    bool fullScreen_ = false;
    RECT windowedRect_{};  // the window's place before full screen
};

}  // namespace xcyh2
