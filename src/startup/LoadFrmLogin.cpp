#include "startup/LoadFrm.h"

namespace xcyh2 {

// Loads the login page window hidden; until the login page completes the loading picture stays.
void LoadFrm::LoadLoginWindow() {}

}  // namespace xcyh2
