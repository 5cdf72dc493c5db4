// Hooks into the C++ runtime's start and end. Linked into the executable
// itself, so the runtime's own definitions are never pulled in instead.
#include <cstdlib>
#include <exception>
#include <new>
#include <typeinfo>

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

// Every allocation passes through operator new, and the runtime's own holds a
// conditional move: this one, compiled for the Pentium like the rest of the
// program, keeps the commonest call clear of the fallback above.
void* operator new(std::size_t size) {
    for (;;) {
        if (void* memory = std::malloc(size != 0 ? size : 1)) return memory;
        std::new_handler handler = std::get_new_handler();
        if (!handler) throw std::bad_alloc();
        handler();
    }
}

// An exception that escapes everything ends the program at once. The
// runtime's default handler would first print the exception's demangled type
// to a console that a windowed program does not have, and its demangler alone
// would be a tenth of the executable.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}

// The container and string classes report misuse through these. The
// runtime's own versions throw std::logic_error and its kin, whose message
// strings bring a second, reference-counted string class with them: about a
// tenth of the executable again. Here they throw the same kinds of error as
// plain std::exception carrying the runtime's message, which is all that any
// caller of this program looks at.
namespace {
class LibraryError : public std::exception {
public:
    explicit LibraryError(const char* message) : message_(message) {}
    const char* what() const noexcept override { return message_; }

private:
    const char* message_;  // the runtime passes literals
};
}  // namespace

namespace std {
void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_logic_error(const char* message) { throw LibraryError(message); }
void __throw_domain_error(const char* message) { throw LibraryError(message); }
void __throw_invalid_argument(const char* message) { throw LibraryError(message); }
void __throw_length_error(const char* message) { throw LibraryError(message); }
void __throw_out_of_range(const char* message) { throw LibraryError(message); }
void __throw_out_of_range_fmt(const char* format, ...) { throw LibraryError(format); }
void __throw_runtime_error(const char* message) { throw LibraryError(message); }
void __throw_range_error(const char* message) { throw LibraryError(message); }
void __throw_overflow_error(const char* message) { throw LibraryError(message); }
void __throw_underflow_error(const char* message) { throw LibraryError(message); }
}  // namespace std
