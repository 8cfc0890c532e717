#include "browser/PageInput.h"

#include <windowsx.h>

#include "base/win_handles.h"
#include "browser/WideText.h"

namespace xcyh2::browser {
namespace {

constexpr UINT kRefreshCommand = 1;

}  // namespace

bool PageInput::Handle(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (msg) {
        case WM_VSCROLL: OnScrollBar(LOWORD(wParam)); return true;
        case WM_MOUSEWHEEL:
            view_.ScrollTo(view_.ScrollY() - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 60);
            return true;
        case WM_SETCURSOR:
            if (!OnSetCursor(LOWORD(lParam))) return false;
            result = TRUE;
            return true;
        case WM_LBUTTONDOWN: OnButtonDown({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); return true;
        case WM_LBUTTONUP: OnButtonUp({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); return true;
        case WM_CONTEXTMENU: {
            POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (screen.x == -1 && screen.y == -1) {  // from the keyboard: at the window's corner
                screen = {0, 0};
                ::ClientToScreen(window_.handle(), &screen);
            }
            ShowContextMenu(screen);
            return true;
        }
        case WM_KEYDOWN: OnKey(wParam); return true;
        default: return false;
    }
}

void PageInput::OnScrollBar(WORD code) {
    SCROLLINFO si{sizeof(si)};
    si.fMask = SIF_ALL;
    ::GetScrollInfo(window_.handle(), SB_VERT, &si);
    int y = view_.ScrollY();
    switch (code) {
        case SB_LINEUP: y -= 20; break;
        case SB_LINEDOWN: y += 20; break;
        case SB_PAGEUP: y -= static_cast<int>(si.nPage); break;
        case SB_PAGEDOWN: y += static_cast<int>(si.nPage); break;
        case SB_THUMBTRACK: case SB_THUMBPOSITION: y = si.nTrackPos; break;
        case SB_TOP: y = 0; break;
        case SB_BOTTOM: y = si.nMax; break;
        default: break;
    }
    view_.ScrollTo(y);
}

void PageInput::OnKey(WPARAM key) {
    // F5 and Ctrl+R load the page again, as in a browser.
    const bool ctrlOnly = ::GetKeyState(VK_CONTROL) < 0 && ::GetKeyState(VK_SHIFT) >= 0 && ::GetKeyState(VK_MENU) >= 0;
    if (key == VK_F5 || (key == 'R' && ctrlOnly)) loader_.Refresh();
    else if (key == VK_DOWN) view_.ScrollTo(view_.ScrollY() + 20);
    else if (key == VK_UP) view_.ScrollTo(view_.ScrollY() - 20);
    else if (key == VK_NEXT) view_.ScrollTo(view_.ScrollY() + 200);
    else if (key == VK_PRIOR) view_.ScrollTo(view_.ScrollY() - 200);
}

bool PageInput::OnSetCursor(WORD hitTest) {
    if (hitTest != HTCLIENT) return false;
    POINT pt;
    ::GetCursorPos(&pt);
    ::ScreenToClient(window_.handle(), &pt);
    ::SetCursor(::LoadCursorW(nullptr, view_.LinkAt(pt) ? IDC_HAND : IDC_ARROW));
    return true;
}

void PageInput::OnButtonDown(POINT client) {
    ::SetFocus(window_.handle());
    std::optional<LinkHit> link = view_.LinkAt(client);
    pressedLink_ = link ? ToWide(link->url) : std::wstring();
}

void PageInput::OnButtonUp(POINT client) {
    std::optional<LinkHit> link;
    if (!pressedLink_.empty()) link = view_.LinkAt(client);
    // A click: pressed and released on the same link.
    bool same = link && ToWide(link->url) == pressedLink_;
    pressedLink_.clear();
    if (same) FollowLink(*link);
}

void PageInput::FollowLink(const LinkHit& link) {
    std::wstring url = ToWide(link.url);
    if (link.target == u"_blank") {
        bool processed = false;
        // The engine has no windows of its own to open: an unprocessed request goes nowhere.
        events_.RaiseNewWindow(url, processed);
        return;
    }
    bool toFrame = link.frame != kFrameIndexTop && link.target != u"_top" && link.target != u"_parent";
    if (toFrame) loader_.NavigateFrame(link.frame, url);
    else loader_.Navigate(url);
}

void PageInput::ShowContextMenu(POINT screen) {
    bool show = true;
    if (!events_.RaiseContextMenu(show) || !show) return;
    unique_hmenu menu(::CreatePopupMenu());
    ::AppendMenuW(menu.get(), MF_STRING, kRefreshCommand, L"刷新");
    UINT chosen = ::TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0,
                                   window_.handle(), nullptr);
    if (chosen == kRefreshCommand) loader_.Refresh();
}

}  // namespace xcyh2::browser
