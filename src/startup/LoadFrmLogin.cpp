#include "login/LoginFrm.h"
#include "startup/LoadFrm.h"

namespace xcyh2 {

// Loads the login page window hidden; until the login page completes the loading picture stays.
void LoadFrm::LoadLoginWindow() { LoginFrm::Instance().Load(); }

}  // namespace xcyh2
