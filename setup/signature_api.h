// The system's Authenticode verification (wintrust.dll) and the certificate
// name call (crypt32.dll), bound at run time: both come with Internet
// Explorer 4 on Windows 95, 98 and NT 4.0, so the program cannot import them.
// The tests hand in a table of their own.
#pragma once

#include <windows.h>
#include <wincrypt.h>
#include <wintrust.h>
#include <softpub.h>

struct SignatureApi {
    decltype(&::WinVerifyTrust) WinVerifyTrust = nullptr;
    decltype(&::WTHelperProvDataFromStateData) WTHelperProvDataFromStateData = nullptr;
    decltype(&::WTHelperGetProvSignerFromChain) WTHelperGetProvSignerFromChain = nullptr;
    // Optional: the signer's name is only shown. CertGetNameStringA from
    // Internet Explorer 5 and Windows 2000 on, CertNameToStrA before.
    decltype(&::CertGetNameStringA) CertGetNameStringA = nullptr;
    decltype(&::CertNameToStrA) CertNameToStrA = nullptr;

    bool CanVerify() const {
        return WinVerifyTrust && WTHelperProvDataFromStateData && WTHelperGetProvSignerFromChain;
    }
};

// The system's functions; CanVerify() is false where wintrust.dll or one of
// its functions is missing. The DLLs stay loaded until the process ends.
const SignatureApi& SystemSignatureApi();
