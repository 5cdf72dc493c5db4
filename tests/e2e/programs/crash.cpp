// Stands in for a program that crashes: an access violation at once. The
// scenarios check that a crash is reported as one, with its code.
#include <windows.h>

int main() {
    ::RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    return 0;
}
