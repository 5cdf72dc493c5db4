// The seam between the program's logic and the platform: every fact about the
// running system that a check or an identification rule needs. The Win32
// implementation asks Windows; tests hand in any record they like.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The version record as GetVersionExA fills it (OSVERSIONINFOEXA).
struct VersionRecord {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
    std::uint32_t platform = 0;
    std::string servicePackText;
    // Only in the extended record; zero in the short one.
    std::uint16_t servicePackMajor = 0;
    std::uint16_t servicePackMinor = 0;
    std::uint16_t suiteMask = 0;
    std::uint8_t productType = 0;
};

class SystemFacts {
public:
    virtual ~SystemFacts() = default;

    // GetVersionExA with the short (148-byte) record; empty when it fails.
    virtual std::optional<VersionRecord> ShortVersion() const = 0;
    // GetVersionExA with the extended (156-byte) record; empty when it fails.
    virtual std::optional<VersionRecord> ExtendedVersion() const = 0;
    // IsWow64Process for this process; empty where the system lacks it.
    virtual std::optional<bool> IsWow64() const = 0;

    virtual std::string Environment(const std::string& name) const = 0;
    // GetFileAttributesA; empty when the path cannot be read.
    virtual std::optional<std::uint32_t> FileAttributes(const std::string& path) const = 0;

    // Installed physical memory in bytes: GlobalMemoryStatusEx when extended
    // (and the system has it), else GlobalMemoryStatus.
    virtual std::uint64_t PhysicalMemoryBytes(bool extended) const = 0;
    // GetDiskFreeSpaceExA: total free bytes and total size of the volume.
    struct DiskSpace {
        std::uint64_t freeBytes = 0;
        std::uint64_t totalBytes = 0;
    };
    virtual std::optional<DiskSpace> DiskSpaceOf(const std::string& path) const = 0;
    // IsNTAdmin of advpack.dll; 0 when it is not available.
    virtual int IsNTAdmin() const = 0;
};

// The running system.
const SystemFacts& RealSystem();
