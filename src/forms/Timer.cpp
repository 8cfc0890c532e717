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
        WindowSpec spec;
        spec.className = L"Xcyh2Timer";
        spec.style = 0;
        spec.parent = HWND_MESSAGE;
        spec.x = spec.y = spec.width = spec.height = 0;
        CreateWin(spec);
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
