#include "platform/file_owner.h"

#include <aclapi.h>

#include <cstring>
#include <vector>

#include "platform/owned.h"
#include "platform/system_library.h"

namespace {

// advapi32 is imported already, but these are not on Windows 9x, and
// TokenElevation only from Vista on: bound at run time.
using OpenProcessTokenFn = BOOL(WINAPI*)(HANDLE, DWORD, PHANDLE);
using GetTokenInformationFn = BOOL(WINAPI*)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD);
using GetSecurityInfoFn = DWORD(WINAPI*)(HANDLE, SE_OBJECT_TYPE, SECURITY_INFORMATION, PSID*,
                                         PSID*, PACL*, PACL*, PSECURITY_DESCRIPTOR*);
using GetLengthSidFn = DWORD(WINAPI*)(PSID);

template <typename Function>
Function Advapi(const char* name) {
    return BindExport<Function>(::GetModuleHandleA("advapi32.dll"), name);
}

// The token's information of `kind`, empty when it cannot be read.
std::vector<BYTE> TokenInformation(TOKEN_INFORMATION_CLASS kind) {
    static const auto openToken = Advapi<OpenProcessTokenFn>("OpenProcessToken");
    static const auto information = Advapi<GetTokenInformationFn>("GetTokenInformation");
    if (!openToken || !information) return {};
    HANDLE token = nullptr;
    if (!openToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    OwnedHandle owner(token);
    DWORD needed = 0;
    information(token, kind, nullptr, 0, &needed);
    if (needed == 0) return {};
    std::vector<BYTE> bytes(needed);
    if (!information(token, kind, bytes.data(), needed, &needed)) return {};
    return bytes;
}

}  // namespace

bool ProcessIsElevated() {
    std::vector<BYTE> elevation = TokenInformation(TokenElevation);
    return elevation.size() >= sizeof(TOKEN_ELEVATION) &&
           reinterpret_cast<const TOKEN_ELEVATION*>(elevation.data())->TokenIsElevated != 0;
}

bool OwnedByProcessUser(HANDLE object) {
    std::vector<BYTE> user = TokenInformation(TokenUser);
    return user.size() >= sizeof(TOKEN_USER) &&
           OwnedBy(object, reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid);
}

bool OwnedBy(HANDLE object, PSID sid) {
    static const auto securityInfo = Advapi<GetSecurityInfoFn>("GetSecurityInfo");
    static const auto lengthSid = Advapi<GetLengthSidFn>("GetLengthSid");
    if (!securityInfo || !lengthSid || !sid) return false;
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (securityInfo(object, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                     nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    DWORD size = owner ? lengthSid(owner) : 0;
    bool same = size != 0 && size == lengthSid(sid) && std::memcmp(owner, sid, size) == 0;
    ::LocalFree(descriptor);
    return same;
}
