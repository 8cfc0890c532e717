#include "startup/LoadFrm.h"

#include "update/UpdateCheck.h"

namespace xcyh2 {

// The start-up update check, before the start-up window exists. The manifest is fetched on a
// thread of its own, side by side with other start-up work; the rest runs once it is in. When
// the player accepts an update the process ends inside it; otherwise start-up goes on.
void LoadFrm::FetchUpdateManifest() { FetchManifest(*m_downfile); }

void LoadFrm::CheckUpdate() {
    UpdateCheckEnvironment environment;
    environment.endAtOnce = [this] { EndAtOnce(); };
    OfferUpdateAtStartUp(environment);
}

}  // namespace xcyh2
