#include "login/LoginBgFrm.h"

#include "base/EventLog.h"
#include "base/WindowScale.h"
#include "forms/Window.h"
#include "login/LoginBgHook.h"
#include "login/LoginFrm.h"
#include "forms/ScreenAreas.h"
#include "base/Settings.h"

namespace xcyh2 {

forms::WindowDesign LoginBgFrm::Design() const {
    forms::WindowDesign design;
    design.className = L"LoginBgFrm";
    design.caption = settings::kWindowCaption;
    design.style = WS_OVERLAPPEDWINDOW;
    // First shown centred on the screen, at the scale a new window gets there.
    const DpiScale scale = WindowScale(nullptr);
    design.width = scale.Pixels(settings::kLoginBackgroundWidth);
    design.height = scale.Pixels(settings::kLoginBackgroundHeight);
    design.CentreOnScreen();
    return design;
}

void LoginBgFrm::Form_Load() {
    HWND hwnd = handle();
    // No caption bar and no sizing frame: the picture is the whole window.
    ::SetWindowLongW(hwnd, GWL_STYLE, ::GetWindowLongW(hwnd, GWL_STYLE) & 0xFF3BFFFF);
    ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    ApplyScale(WindowScale(hwnd));
    HookLoginBg(hwnd);
    SetCaption(settings::kWindowCaption);
}

void LoginBgFrm::ApplyScale(const DpiScale& scale) {
    picture_.Apply(handle(), settings::kResLoginBackground, settings::kResTypePng, scale);
}

LRESULT LoginBgFrm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_DPICHANGED || !lParam) return Form::HandleMessage(msg, wParam, lParam);
    try {
        const DpiScale scale(HIWORD(wParam));
        // The picture gives the window its size; the system's rectangle, kept in reach, its place.
        ApplyScale(scale);
        if (page_) page_->ApplyScale(scale);
        const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
        const SIZE size = picture_.size();
        const RECT place = forms::ReachablePlace(
            {suggested.left, suggested.top, suggested.left + size.cx, suggested.top + size.cy}, scale);
        ::SetWindowPos(handle(), nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        TakePageAlong(place.left, place.top);
    } catch (...) {
        ReportCurrentException(L"LoginBgFrm.DpiChanged");
    }
    return 0;
}

void LoginBgFrm::TakePageAlong(int x, int y) {
    if (page_) page_->FollowBackground(x, y);
}

void LoginBgFrm::Form_MouseDown(short button, short shift, int x, int y) {
    if (button == forms::kLeftButton) forms::StartSystemDrag(handle());
}

void LoginBgFrm::Form_Unload() {
    picture_.Release();
    UnhookLoginBg(handle());
    if (page_) page_->Unload();
}

}  // namespace xcyh2
