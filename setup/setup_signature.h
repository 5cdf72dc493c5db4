// Whose setup program this is: the Authenticode signature of the downloaded
// file, verified by the system through the handle that holds the file
// locked, and the signer's certificate compared with the one the build pins.
#pragma once

#include <windows.h>

#include <string>

#include "setup/sha256.h"
#include "setup/signature_api.h"

#include <vector>

// Whom the build trusts to sign the setup: SHA-256 digests of signing
// certificates (their thumbprints) and of signers' public keys (the DER of
// the SubjectPublicKeyInfo). A key pin outlives a renewal with the same
// key; a list lets a provider pin its current and its next one.
struct SignerPins {
    std::vector<Sha256::Digest> certificates;
    std::vector<Sha256::Digest> keys;
    bool Empty() const noexcept { return certificates.empty() && keys.empty(); }
};

struct SignerCheck {
    enum class Outcome {
        NotChecked,  // the build pins no signer
        Trusted,     // signed by a pinned certificate or key, signature intact, in time
        Refused,     // unsigned, changed, out of time, or signed by someone else
        Unavailable  // this Windows has no Authenticode verification
    };
    Outcome outcome = Outcome::NotChecked;
    std::string signerName;  // the leaf certificate's display name, when known
    std::string thumbprint;  // SHA-256 of its DER encoding, lower-case hex
    std::string keyDigest;   // SHA-256 of its SubjectPublicKeyInfo, lower-case hex
    std::string refusal;     // why it was not trusted, in words
};

// Verifies the signature of the file open as `file` (`path` names it for the
// system's messages only) and compares its signer with the pins. Results
// that only say the root is not trusted count when the signer is pinned:
// the pin says more than the chain, and old systems' root stores lack
// today's roots. The signer's certificate must have been valid when the file
// was signed: at the time of a valid timestamp countersignature, else now.
SignerCheck CheckSigner(const SignatureApi& api, HANDLE file, const std::string& path,
                        const SignerPins& pins);
