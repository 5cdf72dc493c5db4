// What the build pins for the downloaded setup program. Each executable
// compiles setup_pins.cpp with its own build options, so a second program
// with other pins costs one small file, not a second copy of the libraries.
#pragma once

#include <string>

struct SetupPins {
    std::string sha256;  // the setup's SHA-256: 64 hexadecimal digits, or empty
    std::string signer;     // SHA-256 thumbprints of its signing certificates, ";" between
    std::string signerKey;  // SHA-256 of their public keys (SubjectPublicKeyInfo), ";" between
};

SetupPins BuiltInSetupPins();
