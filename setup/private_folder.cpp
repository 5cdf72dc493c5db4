#include "setup/private_folder.h"

#include <windows.h>

#include <cstdint>
#include <type_traits>
#include <vector>

#include "platform/owned.h"
#include "platform/system_library.h"
#include "setup/sha256.h"

namespace {

// advapi32 exports these on Windows 9x as stubs that fail, and they are
// never needed there; bound at run time so nothing here is a load-time import.
struct SecurityApi {
    decltype(&::OpenProcessToken) OpenProcessToken = nullptr;
    decltype(&::GetTokenInformation) GetTokenInformation = nullptr;
    decltype(&::GetLengthSid) GetLengthSid = nullptr;
    decltype(&::InitializeAcl) InitializeAcl = nullptr;
    decltype(&::AddAccessAllowedAce) AddAccessAllowedAce = nullptr;
    decltype(&::GetAce) GetAce = nullptr;
    decltype(&::InitializeSecurityDescriptor) InitializeSecurityDescriptor = nullptr;
    decltype(&::SetSecurityDescriptorDacl) SetSecurityDescriptorDacl = nullptr;
    decltype(&::SetSecurityDescriptorControl) SetSecurityDescriptorControl = nullptr;  // 2000+

    bool Complete() const {
        return OpenProcessToken && GetTokenInformation && GetLengthSid && InitializeAcl &&
               AddAccessAllowedAce && GetAce && InitializeSecurityDescriptor &&
               SetSecurityDescriptorDacl;
    }
};

SecurityApi BindSecurityApi() {
    SecurityApi api;
    HMODULE advapi = ::GetModuleHandleA("advapi32.dll");  // imported by the program already
    if (!advapi) return api;
    auto bind = [advapi](auto& target, const char* name) {
        target = BindExport<std::remove_reference_t<decltype(target)>>(advapi, name);
    };
    bind(api.OpenProcessToken, "OpenProcessToken");
    bind(api.GetTokenInformation, "GetTokenInformation");
    bind(api.GetLengthSid, "GetLengthSid");
    bind(api.InitializeAcl, "InitializeAcl");
    bind(api.AddAccessAllowedAce, "AddAccessAllowedAce");
    bind(api.GetAce, "GetAce");
    bind(api.InitializeSecurityDescriptor, "InitializeSecurityDescriptor");
    bind(api.SetSecurityDescriptorDacl, "SetSecurityDescriptorDacl");
    bind(api.SetSecurityDescriptorControl, "SetSecurityDescriptorControl");
    return api;
}

// S-1-5-18 (SYSTEM) and S-1-5-32-544 (Administrators), laid out as SIDs.
struct WellKnownSid {
    BYTE revision;
    BYTE subAuthorityCount;
    BYTE authority[6];
    DWORD subAuthority[2];
};
WellKnownSid kSystem{1, 1, {0, 0, 0, 0, 0, 5}, {18, 0}};
WellKnownSid kAdministrators{1, 2, {0, 0, 0, 0, 0, 5}, {32, 544}};

// The folder's security: read and list for the current user, everything for
// the Administrators and SYSTEM, inherited by what is created inside, and
// nothing inherited from the temporary folder.
class PrivateSecurity {
public:
    bool Build() {
        SecurityApi api = BindSecurityApi();
        if (!api.Complete()) return false;
        HANDLE token = nullptr;
        if (!api.OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
        OwnedHandle owner(token);
        DWORD needed = 0;
        api.GetTokenInformation(token, TokenUser, nullptr, 0, &needed);
        user_.resize(needed);
        if (needed == 0 ||
            !api.GetTokenInformation(token, TokenUser, user_.data(), needed, &needed))
            return false;
        PSID userSid = reinterpret_cast<TOKEN_USER*>(user_.data())->User.Sid;

        struct Grant {
            PSID sid;
            DWORD access;
        } grants[] = {{userSid, FILE_GENERIC_READ | FILE_GENERIC_EXECUTE},
                      {&kAdministrators, FILE_ALL_ACCESS},
                      {&kSystem, FILE_ALL_ACCESS}};
        DWORD aclSize = sizeof(ACL);
        for (const Grant& grant : grants)
            aclSize += sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + api.GetLengthSid(grant.sid);
        acl_.resize(aclSize);
        ACL* acl = reinterpret_cast<ACL*>(acl_.data());
        if (!api.InitializeAcl(acl, aclSize, ACL_REVISION)) return false;
        for (DWORD i = 0; i < 3; ++i) {
            void* ace = nullptr;
            if (!api.AddAccessAllowedAce(acl, ACL_REVISION, grants[i].access, grants[i].sid) ||
                !api.GetAce(acl, i, &ace))
                return false;
            // AddAccessAllowedAceEx, which takes these flags, is not on NT 4.0.
            static_cast<ACE_HEADER*>(ace)->AceFlags = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
        }
        if (!api.InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) ||
            !api.SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE))
            return false;
        if (api.SetSecurityDescriptorControl)
            api.SetSecurityDescriptorControl(&descriptor_, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
        attributes_.nLength = sizeof attributes_;
        attributes_.lpSecurityDescriptor = &descriptor_;
        return true;
    }

    SECURITY_ATTRIBUTES* Attributes() { return &attributes_; }

private:
    std::vector<BYTE> user_;  // DWORD-aligned by the allocator
    std::vector<BYTE> acl_;
    SECURITY_DESCRIPTOR descriptor_{};
    SECURITY_ATTRIBUTES attributes_{};
};

bool IsWindows9x() { return (::GetVersion() & 0x80000000u) != 0; }

// A name nobody can guess ahead: it costs an attacker nothing to try, since
// an existing folder is never used, but a guessable one invites squatting.
std::string FreshName(unsigned attempt) {
    LARGE_INTEGER counter{};
    ::QueryPerformanceCounter(&counter);
    struct {
        LARGE_INTEGER counter;
        DWORD ticks, process, thread, attempt;
        const void* stack;
    } seed{counter, ::GetTickCount(), ::GetCurrentProcessId(), ::GetCurrentThreadId(), attempt,
           &counter};
    Sha256 hash;
    hash.Add(&seed, sizeof seed);
    return "TSCheck-" + DigestHex(hash.Finish()).substr(0, 12);
}

}  // namespace

std::string CreatePrivateFolder(const std::string& parent) {
    if (parent.empty()) return std::string();
    std::string base = parent.back() == '\\' ? parent : parent + "\\";
    PrivateSecurity security;
    SECURITY_ATTRIBUTES* attributes = nullptr;
    if (!IsWindows9x()) {
        if (!security.Build()) return std::string();  // never a folder open to everyone
        attributes = security.Attributes();
    }
    for (unsigned attempt = 0; attempt < 50; ++attempt) {
        std::string folder = base + FreshName(attempt);
        if (::CreateDirectoryA(folder.c_str(), attributes)) return folder + "\\";
        if (::GetLastError() != ERROR_ALREADY_EXISTS) return std::string();
    }
    return std::string();
}
