// The login background: a translucent picture window (resource PNG 101, 1237 x 696) under the
// login page window. It is the login's taskbar window, drags itself with the mouse and takes
// the login page window along; unloading it unloads the login page window too.
#pragma once

#include "base/DpiScale.h"
#include "forms/Form.h"
#include "picture/LayeredPicture.h"

namespace xcyh2 {

class LoginFrm;

class LoginBgFrm : public forms::Form {
public:
    SIZE PictureSize() const { return picture_.size(); }
    const LayeredPicture& Picture() const { return picture_; }

    // Composes the picture at the scale and hands it to the window, which takes its size;
    // called at load with the window's own scale, and again when that scale changes.
    void ApplyScale(const DpiScale& scale);

    // The login page window this background carries (the page window ties itself to its
    // background; nullptr lets go of it).
    void CarryPage(LoginFrm* page) { page_ = page; }
    // The background moved to (x, y), screen pixels: the page window follows.
    void TakePageAlong(int x, int y);

protected:
    forms::WindowDesign Design() const override;
    void Form_Load() override;
    void Form_MouseDown(short button, short shift, int x, int y) override;
    void Form_Unload() override;
    // A move to a screen of another scale: the picture and the page window at the new scale.
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    LayeredPicture picture_;
    LoginFrm* page_ = nullptr;
};

}  // namespace xcyh2
