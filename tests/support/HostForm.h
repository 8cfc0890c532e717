// The Windows tests' host window: a plain form that the controls under test live in, made from
// the design each test gives it.
#pragma once

#include <windows.h>

#include <utility>

#include "forms/Form.h"

namespace xcyh2::test {

class HostForm : public forms::Form {
public:
    explicit HostForm(forms::WindowDesign design) : design_(std::move(design)) {}

    // A top-level window without a frame at the given screen rectangle.
    static forms::WindowDesign Popup(const wchar_t* className, int x, int y, int width, int height,
                                     DWORD style = WS_POPUP | WS_CLIPCHILDREN) {
        forms::WindowDesign w = forms::WindowDesign::Child(className, nullptr, x, y, width, height);
        w.style = style;  // top-level: no parent, not a child window
        return w;
    }

protected:
    forms::WindowDesign Design() const override { return design_; }

private:
    forms::WindowDesign design_;
};

}  // namespace xcyh2::test
