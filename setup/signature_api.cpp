#include "setup/signature_api.h"

#include <type_traits>

#include "platform/system_library.h"

namespace {

SignatureApi BindSignatureApi() {
    SignatureApi api;
    HMODULE wintrust = LoadSystemLibrary("wintrust.dll").Release();
    HMODULE crypt32 = LoadSystemLibrary("crypt32.dll").Release();
    auto bind = [](HMODULE module, auto& target, const char* name) {
        target = BindExport<std::remove_reference_t<decltype(target)>>(module, name);
    };
    bind(wintrust, api.WinVerifyTrust, "WinVerifyTrust");
    bind(wintrust, api.WTHelperProvDataFromStateData, "WTHelperProvDataFromStateData");
    bind(wintrust, api.WTHelperGetProvSignerFromChain, "WTHelperGetProvSignerFromChain");
    bind(crypt32, api.CertGetNameStringA, "CertGetNameStringA");
    bind(crypt32, api.CertNameToStrA, "CertNameToStrA");
    return api;
}

}  // namespace

const SignatureApi& SystemSignatureApi() {
    static const SignatureApi api = BindSignatureApi();
    return api;
}
