// The bytes of a custom resource of the program's own module (type by name, numeric id).
// Resource memory lives as long as the module; a missing resource gives a null view.
#pragma once

#include <string>
#include <string_view>

namespace xcyh2 {

std::string_view ResourceBytes(int resourceId, const std::wstring& resourceType);

}  // namespace xcyh2
