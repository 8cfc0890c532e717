// What the main window does when the player acts on it: the title-area buttons, the menu, the
// tab strip's events and the other surfaces of the title area.
#include "base/EventLog.h"
#include "base/ScopedFlag.h"
#include "forms/MsgBox.h"
#include "login/LoginFrm.h"
#include "mainwindow/CacheMain.h"
#include "mainwindow/WebMainFrm.h"
#include "base/Settings.h"

namespace xcyh2 {

void WebMainFrm::web_minmax_Click() {
    // Maximised over the screen above the taskbar, or back where it was; the title bar drags
    // the window only while it is restored.
    bool maximised = objStyle_ && objStyle_->CallWindowStateChange();
    // The button shows the state the window is in, however the toggle was reached (its click,
    // its keys, or the start-up call that does not flip it).
    web_minmax_.SetValue(maximised);
    WebBForm_.SetfrmHwnd(maximised ? nullptr : handle());
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
    LoginFrm::Instance().Show();
}

void WebMainFrm::refresh_Click() {
    if (Picture1_.Visible()) {
        if (WebBrowser1_) WebBrowser1_->Refresh();
    } else if (WebuTab_) {
        WebuTab_->RefreshPage();
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
    // Run nested in the menu and the tool button's release, the check's download would let
    // messages through while the button still holds the pointer, and clicks on the window
    // would be lost until it ends.
    if (updateCheckPosted_ || updateCheckRunning_) return;
    updateCheckPosted_ = true;
    ::PostMessageW(handle(), kUpdateCommandMessage, 0, 0);
}

void WebMainFrm::RunMenuUpdateCheck() {
    if (!IsLoaded() || updateCheckRunning_) return;
    if (!download_) download_ = std::make_shared<CDownLoadFile>();
    // Held here: closing the window during the download stops it and lets the window go,
    // while the download returns into a live object.
    std::shared_ptr<CDownLoadFile> download = download_;
    ScopedFlag running(updateCheckRunning_);
    UpdateCheckEnvironment check = environment_.update;
    // Its messages belong to this window: in front of it, and it waits for them.
    if (!check.msgBox) {
        check.msgBox = [hwnd = handle()](const std::wstring& text, UINT flags) {
            return forms::MsgBox(text, flags, settings::kDialogCaption, hwnd);
        };
    }
    CheckUpdateFromMenu(*download, *this, check);
}

void WebMainFrm::WebuTab_TabChanged() { Picture1_.SetVisible(false); }

void WebMainFrm::WebuTab_OnMouseDown(std::int32_t index, short&, short&, float&, float&) {
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    // The empty part of the strip drags the window, while it is restored.
    if (!web_minmax_.Value() && index < 0) forms::StartSystemDrag(handle());
}

void WebMainFrm::WebuTab_OnMouseHover(std::int32_t index, short&, short&, float&, float&) {
    std::wstring text;
    if (WebuTab_ && index >= 0 && index < WebuTab_->TabItems().Count())
        text = WebuTab_->TabItems().Item(index)->Caption();
    tabToolTip_.SetText(text);
}

void WebMainFrm::WebuTab_OnMouseMove(std::int32_t, short&, short&, float&, float&) {
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
}

void WebMainFrm::WebuTab_OnItemColose(std::int32_t, bool& Cancel) {
    // The last tab is never removed: closing it means closing the program (which, answered
    // with yes, destroys the strip inside this event).
    if (WebuTab_ && WebuTab_->TabItems().Count() <= 1) {
        Cancel = true;
        CloseCommand();
    }
}

}  // namespace xcyh2
