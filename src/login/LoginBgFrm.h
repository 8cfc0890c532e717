// The login background: a translucent picture window (resource PNG 101, 1237 x 696) under the
// login page window. It is the login's taskbar window, drags itself with the mouse and takes
// the login page window along; unloading it unloads the login page window too.
#pragma once

#include "forms/Form.h"
#include "picture/LayeredPicture.h"

namespace xcyh2 {

class LoginBgFrm : public forms::Form {
public:
    static LoginBgFrm& Instance();

    SIZE PictureSize() const { return picture_.size(); }

protected:
    forms::WindowDesign Design() const override;
    void Form_Load() override;
    void Form_MouseDown(short button, short shift, int x, int y) override;
    void Form_Unload() override;

private:
    LayeredPicture picture_;
};

}  // namespace xcyh2
