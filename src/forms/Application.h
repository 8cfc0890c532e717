// The process side of the forms runtime: how many windows are loaded, the message loop that
// runs until none is, and the immediate end.
#pragma once

#include <windows.h>

#include <functional>
#include <span>
#include <string>

namespace xcyh2::forms {

// The program's own version, as its version resource gives it (the file version's first,
// second and fourth numbers, the places the classic runtime keeps major, minor and revision).
struct ProgramVersion {
    int major = 0;
    int minor = 0;
    int revision = 0;
};

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

    // Lets window messages through as they come while waiting for one of handles to be
    // signalled (returns its index), for ms milliseconds (INFINITE: no limit; returns kTimedOut
    // then, and when the wait itself fails), or until stop() holds after messages have run
    // (returns kStopped; looked at first, and after each batch of messages).
    static constexpr int kTimedOut = -1;
    static constexpr int kStopped = -2;
    static int DoEventsWhileWaiting(std::span<const HANDLE> handles, DWORD ms, const std::function<bool()>& stop);

    // Ends the process at once: no further unload handling runs.
    [[noreturn]] static void EndAtOnce(UINT exitCode = 0);

    // Key and wheel messages pass this filter before they are translated and dispatched by the
    // message loops here; true means the filter has handled the message (a web page took the
    // key, the main window a Ctrl+wheel zoom step).
    using KeyFilter = std::function<bool(MSG& msg)>;
    static void SetKeyFilter(KeyFilter filter);

    // From the version resource of the running program (zeros without one).
    static ProgramVersion Version();
    // The full path of the running program's file.
    static std::wstring ProgramPath();
};

}  // namespace xcyh2::forms
