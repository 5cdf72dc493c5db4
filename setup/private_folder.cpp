#include "setup/private_folder.h"

#include <windows.h>

#include <cstdint>
#include <type_traits>
#include <vector>

#include "platform/file_owner.h"
#include "platform/owned.h"
#include "platform/system_library.h"
#include "platform/unlinked_file.h"
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
    decltype(&::SetSecurityDescriptorOwner) SetSecurityDescriptorOwner = nullptr;

    bool Complete() const {
        return OpenProcessToken && GetTokenInformation && GetLengthSid && InitializeAcl &&
               AddAccessAllowedAce && GetAce && InitializeSecurityDescriptor &&
               SetSecurityDescriptorDacl && SetSecurityDescriptorOwner;
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
    bind(api.SetSecurityDescriptorOwner, "SetSecurityDescriptorOwner");
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
    // `administratorsOwn`: the Administrators group owns the folder, which
    // only a process with their rights can arrange.
    bool Build(bool administratorsOwn) {
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
        if (administratorsOwn &&
            !api.SetSecurityDescriptorOwner(&descriptor_, &kAdministrators, FALSE))
            return false;
        if (api.SetSecurityDescriptorControl)
            api.SetSecurityDescriptorControl(&descriptor_, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
        return true;
    }

    SECURITY_DESCRIPTOR* Descriptor() { return &descriptor_; }

private:
    std::vector<BYTE> user_;  // DWORD-aligned by the allocator
    std::vector<BYTE> acl_;
    SECURITY_DESCRIPTOR descriptor_{};
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

namespace {

// The native creation of a folder, which hands back a handle to the very
// folder it made: no moment in which the user could swap it for another.
struct UnicodeString {
    USHORT length, maximumLength;
    PWSTR buffer;
};
struct ObjectAttributes {
    ULONG length;
    HANDLE rootDirectory;
    UnicodeString* objectName;
    ULONG attributes;
    PVOID securityDescriptor, securityQualityOfService;
};
struct IoStatus {
    void* status;
    ULONG_PTR information;
};
using NtCreateFileFn = LONG(WINAPI*)(PHANDLE, ACCESS_MASK, ObjectAttributes*, IoStatus*,
                                     PLARGE_INTEGER, ULONG, ULONG, ULONG, ULONG, PVOID, ULONG);

constexpr LONG kNameCollision = static_cast<LONG>(0xC0000035);
constexpr LONG kInvalidOwner = static_cast<LONG>(0xC000005A);
constexpr LONG kUnsuccessful = static_cast<LONG>(0xC0000001);

// Creates `folder` new and returns it open without delete sharing, so that
// nobody can rename or delete it while the handle is held. `status` gets
// the system's answer.
OwnedHandle CreateLockedFolder(const std::string& folder, SECURITY_DESCRIPTOR* descriptor,
                               LONG& status) {
    static const auto ntCreateFile =
        BindExport<NtCreateFileFn>(::GetModuleHandleA("ntdll.dll"), "NtCreateFile");
    status = kUnsuccessful;
    int size = ::MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, nullptr, 0);
    if (!ntCreateFile || size <= 1) return OwnedHandle();
    std::wstring name(L"\\??\\");
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, wide.data(), size);
    name += wide.c_str();
    if (name.size() * sizeof(wchar_t) >= 0xFFFF) return OwnedHandle();
    UnicodeString objectName{static_cast<USHORT>(name.size() * sizeof(wchar_t)),
                             static_cast<USHORT>(name.size() * sizeof(wchar_t)), name.data()};
    ObjectAttributes attributes{sizeof(ObjectAttributes), nullptr, &objectName,
                                0x40 /* OBJ_CASE_INSENSITIVE */, descriptor, nullptr};
    IoStatus io{};
    HANDLE handle = nullptr;
    constexpr ULONG kCreate = 2;          // FILE_CREATE
    constexpr ULONG kDirectory = 0x1;     // FILE_DIRECTORY_FILE
    constexpr ULONG kSynchronous = 0x20;  // FILE_SYNCHRONOUS_IO_NONALERT
    status = ntCreateFile(&handle, FILE_LIST_DIRECTORY | READ_CONTROL | SYNCHRONIZE, &attributes,
                          &io, nullptr, FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          kCreate, kDirectory | kSynchronous, nullptr, 0);
    return OwnedHandle(status >= 0 ? handle : nullptr);
}

}  // namespace

PrivateFolder CreatePrivateFolder(const std::string& parent) {
    PrivateFolder made;
    if (parent.empty()) return made;
    std::string base = parent.back() == '\\' ? parent : parent + "\\";
    if (IsWindows9x()) {
        for (unsigned attempt = 0; attempt < 50; ++attempt) {
            std::string folder = base + FreshName(attempt);
            if (::CreateDirectoryA(folder.c_str(), nullptr)) {
                made.path = folder + "\\";
                return made;
            }
            if (::GetLastError() != ERROR_ALREADY_EXISTS) return made;
        }
        return made;
    }
    // The Administrators own the folder where this program has their rights
    // (it runs elevated); otherwise its user does.
    PrivateSecurity security;
    bool administratorsOwn = security.Build(true);
    if (!administratorsOwn && !security.Build(false)) return made;  // never a folder open to all
    for (unsigned attempt = 0; attempt < 50; ++attempt) {
        std::string folder = base + FreshName(attempt);
        LONG status = 0;
        OwnedHandle lock = CreateLockedFolder(folder, security.Descriptor(), status);
        if (!lock && status == kInvalidOwner && administratorsOwn) {
            administratorsOwn = false;
            if (!security.Build(false)) return made;
            lock = CreateLockedFolder(folder, security.Descriptor(), status);
        }
        if (lock) {
            made.path = folder + "\\";
            made.lock = std::move(lock);
            return made;
        }
        if (status != kNameCollision) return made;
    }
    return made;
}

namespace {

// Calls `each` with every entry that `pattern` finds.
template <typename Each>
void ForEachEntry(const std::string& pattern, Each&& each) {
    WIN32_FIND_DATAA found{};
    OwnedFileSearch search(::FindFirstFileA(pattern.c_str(), &found));
    if (!search) return;
    do {
        each(found);
    } while (::FindNextFileA(search.get(), &found));
}

// The plain files directly in `folder` (ending in "\"), deleted through
// their own handles; a file in use or a link stays.
void DeletePlainFiles(const std::string& folder) {
    ForEachEntry(folder + "*", [&](const WIN32_FIND_DATAA& found) {
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
            return;
        OwnedHandle file = OpenUnlinkedFile(folder + found.cFileName, DELETE, 0);
        if (file) DeleteThroughHandle(file.get());
    });
}

}  // namespace

void RemoveEarlierPrivateFolders(const std::string& parent) {
    if (parent.empty() || IsWindows9x()) return;
    std::string base = parent.back() == '\\' ? parent : parent + "\\";
    ForEachEntry(base + "TSCheck-*", [&](const WIN32_FIND_DATAA& found) {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return;
        std::string folder = base + found.cFileName;
        // Held without delete sharing while it is emptied, and checked
        // through that handle: it cannot be swapped for a link meanwhile.
        OwnedHandle held = OpenUnlinkedFolder(folder, FILE_SHARE_READ | FILE_SHARE_WRITE);
        if (!held || !OwnedBy(held.get(), &kAdministrators)) return;
        DeletePlainFiles(folder + "\\");
        held.reset();
        ::RemoveDirectoryA(folder.c_str());  // fails, and it stays, while not empty
    });
}
