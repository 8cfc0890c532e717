// Releasing an object a little later, once the call that is running has unwound. The engines
// use it when their owner dropped them from inside one of their own event handlers: the
// control that raised the event finishes its work before the object is torn down.
#pragma once

#include <cstddef>
#include <memory>

namespace xcyh2::browser {

// Keeps object alive until the message loop runs again (a zero-delay thread timer, which also
// fires inside modal loops such as message boxes).
void DeferRelease(std::shared_ptr<void> object);

// Releases everything still waiting, at once: the message loop has ended and its timers will
// not fire any more.
void ReleaseDeferredNow();
std::size_t DeferredCount();

}  // namespace xcyh2::browser
