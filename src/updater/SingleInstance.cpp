#include "updater/SingleInstance.h"

namespace xcyh2 {

SingleInstance::SingleInstance(const wchar_t* name) {
    mutex_.reset(::CreateMutexW(nullptr, FALSE, name));
    // Without a mutex (no rights to the name) the updater runs rather than strand the player.
    first_ = !mutex_ || ::GetLastError() != ERROR_ALREADY_EXISTS;
}

}  // namespace xcyh2
