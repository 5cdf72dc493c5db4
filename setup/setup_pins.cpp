#include "setup/setup_pins.h"

// Made by the build for each executable: TSCHECK_SETUP_SHA256 (64
// hexadecimal digits or empty), TSCHECK_SETUP_SIGNER and
// TSCHECK_SETUP_SIGNER_KEY (lists of such digests, ";" between, or empty).
#include "setup_pin_values.h"

SetupPins BuiltInSetupPins() {
    return SetupPins{TSCHECK_SETUP_SHA256, TSCHECK_SETUP_SIGNER, TSCHECK_SETUP_SIGNER_KEY};
}
