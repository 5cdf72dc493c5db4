// Hooks into the C++ runtime's start and end. Linked into the executable
// itself, so the runtime's own definitions are never pulled in instead.
#include <cstdlib>
#include <exception>

#include "cpu/instruction_fallback.h"

// The runtime's start-up code already holds a conditional move, so the
// fallback for processors without them is installed by a C initializer, which
// the start-up code runs before any of its own work.
namespace {
int InstallFallbackAtStart() {
    InstallInstructionFallback();
    return 0;
}
}  // namespace
extern "C" __attribute__((section(".CRT$XIU"), used)) int (*const tscheckInstallFallback)() =
    InstallFallbackAtStart;

// An exception that escapes everything ends the program at once. The
// runtime's default handler would first print the exception's demangled type
// to a console that a windowed program does not have, and its demangler alone
// would be a tenth of the executable.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}
