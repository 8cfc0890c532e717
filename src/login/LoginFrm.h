// The login page window: the publisher's login page in a browser control, laid over the login
// background. (The page, its commands and its readiness test arrive with the login work; this
// is the window and the part the background relies on.)
#pragma once

#include "forms/Form.h"

namespace xcyh2 {

class LoginFrm : public forms::Form {
public:
    static LoginFrm& Instance();

    // The background moved: put this window's top-left corner on the background's.
    void FollowBackground(int x, int y);

protected:
    forms::WindowSpec Spec() const override;
};

}  // namespace xcyh2
