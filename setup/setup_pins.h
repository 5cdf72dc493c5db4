// What the build pins for the downloaded setup program. Each executable
// compiles setup_pins.cpp with its own build options, so a second program
// with other pins costs one small file, not a second copy of the libraries.
#pragma once

#include <string>

struct SetupPins {
    std::string sha256;  // the setup's SHA-256: 64 hexadecimal digits, or empty
    std::string signer;  // its signing certificate's SHA-256, or empty
};

SetupPins BuiltInSetupPins();
