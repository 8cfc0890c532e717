#include "login/LoginFrm.h"

#include "startup/Settings.h"

namespace xcyh2 {

LoginFrm& LoginFrm::Instance() {
    static LoginFrm instance;
    return instance;
}

forms::WindowSpec LoginFrm::Spec() const {
    forms::WindowSpec spec;
    spec.className = L"LoginFrm";
    spec.caption = settings::kDesignCaption;
    spec.style = WS_POPUP | WS_CLIPCHILDREN;
    spec.width = settings::kLoginBackgroundWidth;
    spec.height = settings::kLoginBackgroundHeight;
    spec.clientSize = true;
    spec.x = (::GetSystemMetrics(SM_CXSCREEN) - spec.width) / 2;
    spec.y = (::GetSystemMetrics(SM_CYSCREEN) - spec.height) / 2;
    spec.background = RGB(254, 254, 254);
    return spec;
}

void LoginFrm::FollowBackground(int x, int y) {
    if (!IsLoaded()) return;
    ::SetWindowPos(handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace xcyh2
