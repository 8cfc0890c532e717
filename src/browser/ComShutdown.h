// The end of COM in this process: the browser objects are COM objects (the system control)
// or hold some, so all of them must be gone before OleUninitialize, whichever way the process
// ends.
#pragma once

namespace xcyh2::browser {

// Runs the releases still waiting for a message loop that has ended, and lets go of the pages'
// kept in-place objects. After this no browser object may make a COM call: a system control
// torn down later (by a static object's destructor) drops its interfaces without calling them.
void ReleaseBeforeComShutdown();

// True once ReleaseBeforeComShutdown has run.
bool ComShutDown();

}  // namespace xcyh2::browser
