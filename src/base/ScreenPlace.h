// Where a window goes when something other than the player asks it to move (a change of screen
// scale, say): somewhere the player can still reach it. Window-free: screen pixels throughout.
#pragma once

#include <vector>

#include "base/DpiScale.h"

namespace xcyh2 {

// Where a window asked to go to `wanted` (the system's rectangle for a new screen scale, say)
// is put so that a player can still reach it. Its screen is the work area it overlaps most (the
// first, the primary, when it overlaps none). It stays as asked when it fits that screen and at
// least minVisible pixels of it each way lie on it; otherwise it is made no larger than the
// screen and moved inside it. An empty or inverted rectangle takes the screen's work area.
EdgeRect KeepReachable(const EdgeRect& wanted, const std::vector<EdgeRect>& workAreas, int minVisible);

}  // namespace xcyh2
