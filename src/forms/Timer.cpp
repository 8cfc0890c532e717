#include "forms/Timer.h"

namespace xcyh2::forms {

Timer::~Timer() {
    if (running_ && exists()) ::KillTimer(handle(), 1);
}

void Timer::SetInterval(UINT milliseconds) {
    interval_ = milliseconds;
    Apply();
}

void Timer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Apply();
}

void Timer::Apply() {
    bool want = enabled_ && interval_ > 0;
    if (want && !exists()) {
        WindowDesign design;
        design.className = L"Xcyh2Timer";
        design.style = 0;
        design.parent = HWND_MESSAGE;
        design.x = design.y = design.width = design.height = 0;
        CreateWin(design);
    }
    if (!exists()) return;
    if (running_) {
        ::KillTimer(handle(), 1);
        running_ = false;
    }
    if (want) running_ = ::SetTimer(handle(), 1, interval_, nullptr) != 0;
}

LRESULT Timer::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER && wParam == 1) {
        if (Tick) Tick();
        return 0;
    }
    return Window::HandleMessage(msg, wParam, lParam);
}

}  // namespace xcyh2::forms
