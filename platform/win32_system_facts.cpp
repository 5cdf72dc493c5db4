// SystemFacts answered by the running Windows.
#include <windows.h>

#include "platform/system_facts.h"
#include "platform/system_library.h"

namespace {

VersionRecord FromRecord(const OSVERSIONINFOEXA& info, bool extended) {
    VersionRecord record;
    record.major = info.dwMajorVersion;
    record.minor = info.dwMinorVersion;
    record.build = info.dwBuildNumber;
    record.platform = info.dwPlatformId;
    record.servicePackText = info.szCSDVersion;
    if (extended) {
        record.servicePackMajor = info.wServicePackMajor;
        record.servicePackMinor = info.wServicePackMinor;
        record.suiteMask = info.wSuiteMask;
        record.productType = info.wProductType;
    }
    return record;
}

std::optional<VersionRecord> QueryVersion(bool extended) {
    OSVERSIONINFOEXA info{};
    info.dwOSVersionInfoSize = extended ? sizeof(OSVERSIONINFOEXA) : sizeof(OSVERSIONINFOA);
    // GetVersionExA is deprecated for new code, but it is exactly the query
    // whose answers the operating-system codes are defined on.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    BOOL ok = ::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info));
#pragma GCC diagnostic pop
    if (!ok) return std::nullopt;
    return FromRecord(info, extended);
}

class Win32SystemFacts final : public SystemFacts {
public:
    std::optional<VersionRecord> ShortVersion() const override { return QueryVersion(false); }
    std::optional<VersionRecord> ExtendedVersion() const override { return QueryVersion(true); }

    std::optional<bool> IsWow64() const override {
        using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
        auto isWow64Process = BindKernel32<IsWow64ProcessFn>("IsWow64Process");
        if (!isWow64Process) return std::nullopt;
        BOOL wow64 = FALSE;
        if (!isWow64Process(::GetCurrentProcess(), &wow64)) return false;
        return wow64 != FALSE;
    }

    std::string Environment(const std::string& name) const override {
        DWORD needed = ::GetEnvironmentVariableA(name.c_str(), nullptr, 0);
        if (needed == 0) return {};
        std::string value(needed, '\0');
        DWORD length = ::GetEnvironmentVariableA(name.c_str(), value.data(), needed);
        value.resize(length < needed ? length : 0);
        return value;
    }

    std::optional<std::uint32_t> FileAttributes(const std::string& path) const override {
        DWORD attributes = ::GetFileAttributesA(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
        return attributes;
    }

    std::uint64_t PhysicalMemoryBytes(bool extended) const override {
        if (extended) {
            using GlobalMemoryStatusExFn = BOOL(WINAPI*)(LPMEMORYSTATUSEX);
            if (auto statusEx = BindKernel32<GlobalMemoryStatusExFn>("GlobalMemoryStatusEx")) {
                MEMORYSTATUSEX status{};
                status.dwLength = sizeof(status);
                if (statusEx(&status)) return status.ullTotalPhys;
            }
        }
        MEMORYSTATUS status{};
        status.dwLength = sizeof(status);
        ::GlobalMemoryStatus(&status);
        return status.dwTotalPhys;
    }

    std::optional<DiskSpace> DiskSpaceOf(const std::string& path) const override {
        using GetDiskFreeSpaceExFn =
            BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
        auto freeSpaceEx = BindKernel32<GetDiskFreeSpaceExFn>("GetDiskFreeSpaceExA");
        if (!freeSpaceEx) return std::nullopt;
        ULARGE_INTEGER callerFree{}, total{}, totalFree{};
        if (!freeSpaceEx(path.c_str(), &callerFree, &total, &totalFree)) return std::nullopt;
        return DiskSpace{totalFree.QuadPart, total.QuadPart};
    }

    int IsNTAdmin() const override {
        using IsNTAdminFn = BOOL(WINAPI*)(DWORD, DWORD*);
        OwnedModule advpack = LoadSystemLibrary("advpack.dll");
        auto isNTAdmin = BindExport<IsNTAdminFn>(advpack.get(), "IsNTAdmin");
        if (!isNTAdmin) return 0;
        return isNTAdmin(0, nullptr);
    }
};

}  // namespace

const SystemFacts& RealSystem() {
    static const Win32SystemFacts facts;
    return facts;
}
