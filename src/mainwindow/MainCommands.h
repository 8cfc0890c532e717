// The commands the main window posts to itself, run from the message loop once the message
// that asked has unwound:
// - the Close of the system menu: the WM_CLOSE the same action sends meanwhile asks nothing,
//   so one action asks once;
// - the menu's update check: run nested in the menu and the tool button's release, its download
//   would let messages through while the button still holds the pointer, and clicks on the
//   window would be lost until it ends. One check at a time.
// A command that fails is reported at the message that runs it.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>

namespace xcyh2 {

class MainCommands {
public:
    struct Command {
        UINT message = 0;            // the window's private message that runs it
        std::function<void()> run;
    };
    MainCommands(Command close, Command update) : close_(std::move(close)), update_(std::move(update)) {}

    void PostClose(HWND hwnd);
    // Nothing while a check waits or runs.
    void PostUpdate(HWND hwnd);
    // Runs the posted command msg names; false for any other message.
    bool Run(UINT msg);
    // A posted close waits: WM_CLOSE asks nothing.
    bool ClosePending() const { return closePending_; }
    // Nothing posted runs any more (the window unloads or loads again).
    void Reset() { closePending_ = updatePosted_ = false; }

private:
    Command close_, update_;
    bool closePending_ = false;
    bool updatePosted_ = false;
    bool updateRunning_ = false;
};

}  // namespace xcyh2
