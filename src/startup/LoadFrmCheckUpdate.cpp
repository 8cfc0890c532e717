#include "startup/LoadFrm.h"

#include "startup/UpdateCheck.h"

namespace xcyh2 {

// The start-up update check runs here, before any window exists. When the player accepts an
// update the process ends inside it; otherwise start-up goes on.
void LoadFrm::CheckUpdate() {
    if (!m_downfile) m_downfile = std::make_unique<CDownLoadFile>();
    UpdateCheckEnvironment environment;
    environment.endAtOnce = [this] { EndAtOnce(); };
    CheckUpdateAtStartUp(*m_downfile, environment);
}

}  // namespace xcyh2
