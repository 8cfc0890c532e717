// The C++ runtime's handler for an exception nobody catches. The runtime's own prints the
// exception's demangled type to the standard error stream, which a windowed program does not
// have, and drags the whole demangler (some 45 KB) into every executable. This one ends the
// program the same way, without the text. The build makes the linker take it from here
// (Xcyh2Common.cmake, -u).
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
