// A timer control: raises Tick every Interval milliseconds while enabled. It lives on a hidden
// message-only window of its own, so it needs no form.
#pragma once

#include <windows.h>

#include <functional>

#include "forms/Window.h"

namespace xcyh2::forms {

class Timer : private Window {
public:
    Timer() = default;
    ~Timer() override;

    std::function<void()> Tick;

    void SetInterval(UINT milliseconds);
    UINT Interval() const { return interval_; }
    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_; }

private:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Apply();

    UINT interval_ = 0;
    bool enabled_ = false;
    bool running_ = false;
};

}  // namespace xcyh2::forms
