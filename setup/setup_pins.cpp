#include "setup/setup_pins.h"

// Made by the build for each executable: TSCHECK_SETUP_SHA256 and
// TSCHECK_SETUP_SIGNER, each 64 hexadecimal digits or empty.
#include "setup_pin_values.h"

SetupPins BuiltInSetupPins() { return SetupPins{TSCHECK_SETUP_SHA256, TSCHECK_SETUP_SIGNER}; }
