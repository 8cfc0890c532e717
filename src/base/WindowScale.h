// The scale a window is drawn at: its own DPI where the system keeps one per window, else the
// screen's.
#pragma once

#include <windows.h>

#include "base/DpiScale.h"

namespace xcyh2 {

// window may be null: the scale a new top-level window gets on the primary screen.
DpiScale WindowScale(HWND window);

}  // namespace xcyh2
