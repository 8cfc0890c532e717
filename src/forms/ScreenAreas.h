// The screens a window can be on: their work areas, and the place a window asked to go somewhere
// (by a change of scale, say) is given so that a player can still reach it.
#pragma once

#include <windows.h>

#include <vector>

#include "base/DpiScale.h"
#include "base/ScreenPlace.h"

namespace xcyh2::forms {

// Every screen's work area, the primary's first.
std::vector<EdgeRect> ScreenWorkAreas();

// wanted, or the place KeepReachable gives it on this machine's screens: at least 100 pixels
// (at the window's scale) of it each way on a screen.
RECT ReachablePlace(const RECT& wanted, const DpiScale& scale);

}  // namespace xcyh2::forms
