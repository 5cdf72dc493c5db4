// A SystemFacts whose every answer a test sets.
#pragma once

#include <map>

#include "platform/system_facts.h"

struct FakeSystem : SystemFacts {
    std::optional<VersionRecord> shortVersion;
    std::optional<VersionRecord> extendedVersion;
    std::optional<bool> wow64 = false;
    std::map<std::string, std::string> environment;
    std::map<std::string, std::uint32_t> attributes;
    std::uint64_t memoryBytes = 0;
    std::uint64_t memoryBytesClassic = 0;
    std::optional<DiskSpace> disk;
    int admin = 1;

    // Both records of one system, as GetVersionExA would fill them.
    void SetVersion(std::uint32_t platform, std::uint32_t major, std::uint32_t minor,
                    std::uint32_t build = 0, std::uint16_t servicePack = 0,
                    std::uint8_t productType = 1) {
        VersionRecord v;
        v.platform = platform;
        v.major = major;
        v.minor = minor;
        v.build = build;
        shortVersion = v;
        v.servicePackMajor = servicePack;
        v.productType = productType;
        extendedVersion = v;
    }

    std::optional<VersionRecord> ShortVersion() const override { return shortVersion; }
    std::optional<VersionRecord> ExtendedVersion() const override { return extendedVersion; }
    std::optional<bool> IsWow64() const override { return wow64; }
    std::string Environment(const std::string& name) const override {
        auto it = environment.find(name);
        return it == environment.end() ? std::string() : it->second;
    }
    std::optional<std::uint32_t> FileAttributes(const std::string& path) const override {
        auto it = attributes.find(path);
        if (it == attributes.end()) return std::nullopt;
        return it->second;
    }
    std::uint64_t PhysicalMemoryBytes(bool extended) const override {
        return extended ? memoryBytes : memoryBytesClassic;
    }
    std::optional<DiskSpace> DiskSpaceOf(const std::string&) const override { return disk; }
    int IsNTAdmin() const override { return admin; }
};
