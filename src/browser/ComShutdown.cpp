#include "browser/ComShutdown.h"

#include "browser/DeferredRelease.h"
#include "browser/PageKeys.h"

namespace xcyh2::browser {
namespace {
bool g_comShutDown = false;
}

void ReleaseBeforeComShutdown() {
    ReleaseDeferredNow();
    ForgetInPlaceActiveObjects();
    g_comShutDown = true;
}

bool ComShutDown() { return g_comShutDown; }

}  // namespace xcyh2::browser
