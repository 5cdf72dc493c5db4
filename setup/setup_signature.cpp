#include "setup/setup_signature.h"

#include <algorithm>
#include <vector>

#include "setup/certificate_der.h"

namespace {

// WINTRUST_ACTION_GENERIC_VERIFY_V2: Authenticode.
GUID kVerifyAuthenticode = WINTRUST_ACTION_GENERIC_VERIFY_V2;

// The verdicts that leave the signature itself intact and only concern the
// root of the chain above the signer. An expired certificate is not one of
// them: time is checked below, whatever the system reported first.
bool OnlyTheRootFailed(LONG status) {
    switch (static_cast<HRESULT>(status)) {
        case CERT_E_UNTRUSTEDROOT:
        case CERT_E_UNTRUSTEDTESTROOT:
            return true;
        default:
            return false;
    }
}

bool Pinned(const std::vector<Sha256::Digest>& pins, const Sha256::Digest& digest) {
    return std::find(pins.begin(), pins.end(), digest) != pins.end();
}

Sha256::Digest DigestOf(const void* data, std::size_t size) {
    Sha256 hash;
    hash.Add(data, size);
    return hash.Finish();
}

// When the signature counts as made: the time of a timestamp countersignature
// that verified, else now.
FILETIME SigningTime(const CRYPT_PROVIDER_SGNR& signer) {
    if (signer.csCounterSigners > 0 && signer.pasCounterSigners &&
        signer.pasCounterSigners[0].dwError == 0)
        return signer.pasCounterSigners[0].sftVerifyAsOf;
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return now;
}

std::string RefusalText(LONG status) {
    switch (static_cast<HRESULT>(status)) {
        case TRUST_E_NOSIGNATURE: return "the setup program is not signed";
        case TRUST_E_BAD_DIGEST: return "the setup program was changed after it was signed";
        case CERT_E_EXPIRED:
            return "the signer's certificate was not valid when the setup program was signed";
        default: {
            std::string code = "0x";
            for (int shift = 28; shift >= 0; shift -= 4)
                code += "0123456789ABCDEF"[(static_cast<DWORD>(status) >> shift) & 0xF];
            return "the signature does not verify (" + code + ")";
        }
    }
}

std::string SignerName(const SignatureApi& api, PCCERT_CONTEXT cert) {
    char name[256] = {};
    if (api.CertGetNameStringA) {
        if (api.CertGetNameStringA(cert, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name,
                                   sizeof name) > 1)
            return name;
    } else if (api.CertNameToStrA && cert->pCertInfo) {
        if (api.CertNameToStrA(X509_ASN_ENCODING, &cert->pCertInfo->Subject, CERT_X500_NAME_STR,
                               name, sizeof name) > 1)
            return name;
    }
    return std::string();
}

// The verification's state, released through the same call that made it.
class TrustState {
public:
    TrustState(const SignatureApi& api, HANDLE file, const std::string& path) : api_(api) {
        int length = ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
        widePath_.resize(length > 0 ? length : 1);
        if (length > 0)
            ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath_.data(), length);
        file_.cbStruct = sizeof file_;
        file_.pcwszFilePath = widePath_.data();
        file_.hFile = file;  // read through the locked handle, not by name
        data_.cbStruct = sizeof data_;
        data_.dwUIChoice = WTD_UI_NONE;
        data_.fdwRevocationChecks = WTD_REVOKE_NONE;
        // The pin is the trust: nothing is fetched from the network, so a
        // dead or hostile network cannot make the check wait.
        data_.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL | WTD_REVOCATION_CHECK_NONE;
        data_.dwUnionChoice = WTD_CHOICE_FILE;
        data_.pFile = &file_;
        data_.dwStateAction = WTD_STATEACTION_VERIFY;
        data_.dwUIContext = WTD_UICONTEXT_EXECUTE;
        status_ = api_.WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE),
                                      &kVerifyAuthenticode, &data_);
    }
    ~TrustState() {
        if (!data_.hWVTStateData) return;
        data_.dwStateAction = WTD_STATEACTION_CLOSE;
        api_.WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &kVerifyAuthenticode,
                            &data_);
    }
    TrustState(const TrustState&) = delete;
    TrustState& operator=(const TrustState&) = delete;

    LONG Status() const { return status_; }

    // The signer whose chain starts with the certificate that signed the
    // file, or null.
    const CRYPT_PROVIDER_SGNR* Signer() const {
        if (!data_.hWVTStateData) return nullptr;
        CRYPT_PROVIDER_DATA* provider = api_.WTHelperProvDataFromStateData(data_.hWVTStateData);
        if (!provider) return nullptr;
        CRYPT_PROVIDER_SGNR* signer = api_.WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0);
        if (!signer || signer->csCertChain == 0 || !signer->pasCertChain) return nullptr;
        return signer;
    }

private:
    const SignatureApi& api_;
    std::vector<wchar_t> widePath_;
    WINTRUST_FILE_INFO file_{};
    WINTRUST_DATA data_{};
    LONG status_ = 0;
};

}  // namespace

SignerCheck CheckSigner(const SignatureApi& api, HANDLE file, const std::string& path,
                        const SignerPins& pins) {
    SignerCheck check;
    if (!api.CanVerify()) {
        check.outcome = SignerCheck::Outcome::Unavailable;
        check.refusal = "this Windows cannot verify signatures (WinVerifyTrust is missing)";
        return check;
    }
    check.outcome = SignerCheck::Outcome::Refused;
    TrustState state(api, file, path);
    // The system reports the first failure in its order of work: the file's
    // digest and the signature come before the chain, so a verdict about the
    // root alone means the signature itself held.
    LONG status = state.Status();
    if (status != 0 && !OnlyTheRootFailed(status)) {
        check.refusal = RefusalText(status);
        return check;
    }
    const CRYPT_PROVIDER_SGNR* signer = state.Signer();
    PCCERT_CONTEXT cert = signer ? signer->pasCertChain[0].pCert : nullptr;
    if (!cert || !cert->pbCertEncoded || cert->cbCertEncoded == 0 || !cert->pCertInfo) {
        check.refusal = "the signer's certificate cannot be read";
        return check;
    }
    Sha256::Digest thumbprint = DigestOf(cert->pbCertEncoded, cert->cbCertEncoded);
    check.thumbprint = DigestHex(thumbprint);
    check.signerName = SignerName(api, cert);
    std::optional<DerSpan> key = SubjectPublicKeyInfoOf(cert->pbCertEncoded, cert->cbCertEncoded);
    std::optional<Sha256::Digest> keyDigest;
    if (key) {
        keyDigest = DigestOf(cert->pbCertEncoded + key->offset, key->size);
        check.keyDigest = DigestHex(*keyDigest);
    }
    if (!Pinned(pins.certificates, thumbprint) && !(keyDigest && Pinned(pins.keys, *keyDigest))) {
        check.refusal = "the setup program is signed by another certificate";
        return check;
    }
    // A certificate signs only within its validity period; a signature made
    // outside it, or with the leaked key of an expired certificate, is none.
    FILETIME signedAt = SigningTime(*signer);
    if (::CompareFileTime(&signedAt, &cert->pCertInfo->NotBefore) < 0 ||
        ::CompareFileTime(&signedAt, &cert->pCertInfo->NotAfter) > 0) {
        check.refusal = "the signer's certificate was not valid when the setup program was signed";
        return check;
    }
    check.outcome = SignerCheck::Outcome::Trusted;
    return check;
}
