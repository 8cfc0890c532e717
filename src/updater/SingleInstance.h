// One updater at a time: the first instance holds a named mutex for as long as it runs.
#pragma once

#include "base/win_handles.h"

namespace xcyh2 {

class SingleInstance {
public:
    explicit SingleInstance(const wchar_t* name);
    // False when another instance holds the name.
    bool First() const { return first_; }

private:
    unique_handle mutex_;
    bool first_ = false;
};

}  // namespace xcyh2
