// A tool tip for one child window: the text shows while the pointer rests on the window, and an
// empty text shows nothing.
#pragma once

#include <windows.h>

#include <string>

namespace xcyh2::forms {

class ToolTip {
public:
    ToolTip() = default;
    ~ToolTip();
    ToolTip(const ToolTip&) = delete;
    ToolTip& operator=(const ToolTip&) = delete;

    // Attaches the tip to tool, a child window of the form that owns it.
    bool Create(HWND tool);
    void Destroy();

    void SetText(const std::wstring& text);
    const std::wstring& Text() const { return text_; }

private:
    HWND tip_ = nullptr;
    HWND tool_ = nullptr;
    std::wstring text_;
};

}  // namespace xcyh2::forms
