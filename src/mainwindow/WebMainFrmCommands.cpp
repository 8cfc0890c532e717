// What the main window does when the player acts on it: the title-area buttons and the menu.
// The tab strip's events are the tab host's (MainTabHost).
#include "base/EventLog.h"
#include "base/ScopedFlag.h"
#include "forms/MsgBox.h"
#include "mainwindow/CacheMain.h"
#include "mainwindow/WebMainFrm.h"
#include "base/Settings.h"

namespace xcyh2 {

void WebMainFrm::web_minmax_Click() {
    // Maximised over the screen above the taskbar, or back where it was; the title bar drags
    // the window only while it is restored.
    bool maximised = frame_.CallWindowStateChange();
    // The button shows the state the window is in, however the toggle was reached (its click,
    // its keys, or the start-up call that does not flip it).
    web_minmax_.SetValue(maximised);
}

void WebMainFrm::web_min_Click() { Minimize(); }

void WebMainFrm::web_tool_Click() { PopupAppMenu(); }

void WebMainFrm::PopupAppMenu() {
    if (!IsLoaded()) return;
    try {
        appmenu_.Popup(handle());
    } catch (...) {
        // A command's failure must not cross the window procedure it runs in.
        ReportCurrentException(L"WebMainFrm.appmenu");
    }
}

void WebMainFrm::GameSpaceBtn_Click() { ShellOpen(settings::kGameSpaceUrl); }

void WebMainFrm::OtherUserBtn_Click() {
    // The login window, again; an address it delivers opens in a tab of its own.
    if (ShowLogin) ShowLogin();
}

void WebMainFrm::refresh_Click() {
    if (Picture1_.Visible()) {
        if (WebBrowser1_) WebBrowser1_->Refresh();
    } else {
        tabs_.RefreshPage();
    }
}

void WebMainFrm::hiderestore_Click() {
    HWND hwnd = handle();
    ::ShowWindow(hwnd, ::IsWindowVisible(hwnd) ? SW_HIDE : SW_SHOW);
}

void WebMainFrm::clearcache_Click() {
    mainwindow::ClearUrlCache("*.*", mainwindow::kKeepCookiesAndHistory);
    // Said whatever the outcome: the cleaning reports nothing.
    const wchar_t* text = L"缓存已清理完毕！";
    const wchar_t* caption = L"缓存清理";
    if (environment_.msgBox) environment_.msgBox(text, caption, MB_OK | MB_ICONINFORMATION);
    else forms::MsgBox(text, MB_OK | MB_ICONINFORMATION, caption, handle());
}

void WebMainFrm::update_Click() {
    // Not nested in the menu and the button's release: from the message loop, once.
    commands_.PostUpdate(handle());
}

void WebMainFrm::RunMenuUpdateCheck() {
    if (!IsLoaded()) return;
    if (!download_) download_ = std::make_shared<CDownLoadFile>();
    // Held here: closing the window during the download stops it and lets the window go,
    // while the download returns into a live object.
    std::shared_ptr<CDownLoadFile> download = download_;
    UpdateCheckEnvironment check = environment_.update;
    // Its messages belong to this window: in front of it, and it waits for them.
    if (!check.msgBox) {
        check.msgBox = [hwnd = handle()](const std::wstring& text, UINT flags) {
            return forms::MsgBox(text, flags, settings::kDialogCaption, hwnd);
        };
    }
    CheckUpdateFromMenu(*download, *this, check);
}

}  // namespace xcyh2
