// Whose setup program this is: the Authenticode signature of the downloaded
// file, verified by the system through the handle that holds the file
// locked, and the signer's certificate compared with the one the build pins.
#pragma once

#include <windows.h>

#include <string>

#include "setup/sha256.h"
#include "setup/signature_api.h"

struct SignerCheck {
    enum class Outcome {
        NotChecked,  // the build pins no signer
        Trusted,     // signed by the pinned certificate, signature intact
        Refused,     // unsigned, changed, or signed by someone else
        Unavailable  // this Windows has no Authenticode verification
    };
    Outcome outcome = Outcome::NotChecked;
    std::string signerName;  // the leaf certificate's display name, when known
    std::string thumbprint;  // SHA-256 of its DER encoding, lower-case hex
    std::string refusal;     // why it was not trusted, in words
};

// Verifies the signature of the file open as `file` (`path` names it for the
// system's messages only) and compares its signer with `pinnedSigner`.
// Results that only say the root is not trusted or a certificate is outside
// its validity period count when the signer is the pinned one: the pin says
// more than the chain, and old systems' root stores lack today's roots.
SignerCheck CheckSigner(const SignatureApi& api, HANDLE file, const std::string& path,
                        const Sha256::Digest& pinnedSigner);
