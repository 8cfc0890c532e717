// The process side of the forms runtime: how many windows are loaded, the message loop that
// runs until none is, and the immediate end.
#pragma once

#include <windows.h>

namespace xcyh2::forms {

class Application {
public:
    // Forms report their load and unload; when the count falls to zero the message loop ends.
    static void FormLoaded();
    static void FormUnloaded();
    static int LoadedCount();

    // Runs the message loop until no form is loaded; returns the exit code.
    static int Run();

    // Lets pending window messages through (between chunks of blocking work).
    static void DoEvents();

    // Ends the process at once: no further unload handling runs.
    [[noreturn]] static void EndAtOnce(UINT exitCode = 0);
};

}  // namespace xcyh2::forms
