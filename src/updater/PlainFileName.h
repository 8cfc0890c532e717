// Whether a name taken from the manifest may be used as a file name in the shell's folder: a
// plain name that stays in that folder and that the system will create as a file.
#pragma once

#include <string_view>

#include "base/lead_byte.h"

namespace xcyh2 {

// name is text in the ANSI code page. False for an empty name, one holding \ / : * ? " < > |
// or a control character, "." and "..", a name ending in a dot or a space, and a device name
// with or without an extension (CON, PRN, AUX, NUL, COM1-9, LPT1-9, CONIN$, CONOUT$: "con.txt"
// too), compared without regard to case. Trail bytes of double-byte characters are never taken
// for one of those characters.
bool IsPlainFileName(std::string_view name, LeadBytePredicate isLeadByte = &IsGbkLeadByte);
// The same rules for the name as the system will see it, after conversion from the ANSI code
// page: bytes that convert to one of those characters (an unconvertible one becomes "?") are
// caught here.
bool IsPlainFileName(std::wstring_view name);

}  // namespace xcyh2
