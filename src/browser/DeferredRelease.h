// Releasing an object a little later, once the call that is running has unwound. The engines
// use it when their owner dropped them from inside one of their own event handlers: the
// control that raised the event finishes its work before the object is torn down.
#pragma once

#include <memory>

namespace xcyh2::browser {

// Keeps object alive until the message loop runs again (a zero-delay thread timer, which also
// fires inside modal loops such as message boxes).
void DeferRelease(std::shared_ptr<void> object);

}  // namespace xcyh2::browser
