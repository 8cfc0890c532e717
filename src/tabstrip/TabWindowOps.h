// The tab collection's window calls on Windows.
#pragma once

#include "tabstrip/TabInterfaces.h"

namespace xcyh2 {

// Stateless; one instance serves every collection.
TabWindowOps& Win32TabWindowOps();

}  // namespace xcyh2
