#include "startup/LoadFrm.h"

namespace xcyh2 {

// The start-up update check runs here, before any window exists.
void LoadFrm::CheckUpdate() {}

}  // namespace xcyh2
