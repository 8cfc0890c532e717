#include "startup/LoadFrm.h"

#include "startup/UpdateCheck.h"

namespace xcyh2 {

// The start-up update check. The manifest is fetched on the start-up checks' thread; the rest
// runs here once it is in, before the loading picture is shown. When the player accepts an
// update the process ends inside it; otherwise start-up goes on.
void LoadFrm::FetchUpdateManifest() { FetchManifest(*m_downfile); }

void LoadFrm::CheckUpdate() {
    UpdateCheckEnvironment environment;
    environment.endAtOnce = [this] { EndAtOnce(); };
    OfferUpdateAtStartUp(environment);
}

}  // namespace xcyh2
