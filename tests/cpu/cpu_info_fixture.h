// A cCpuInfo on a scripted processor, loaded with synthetic leaves through
// LevelSet and Refresh(false).
#pragma once

#include <gtest/gtest.h>

#include <string_view>

#include "cpu/cpu_info.h"
#include "tests/cpu/scripted_processor.h"

inline constexpr std::int32_t kExt = 4;  // LevelGet/LevelSet index of extended leaf 0
constexpr std::int32_t Ext(std::uint32_t level) { return static_cast<std::int32_t>(level); }

// The leaves that most answers come from.
struct Cpu {
    std::string_view vendor = "GenuineIntel";
    std::int32_t maxStd = 3;
    std::int32_t maxExt = Ext(0x80000008);
    CpuRegs std1{};
    CpuRegs ext1{};
    std::map<std::int32_t, CpuRegs> more{};  // by LevelSet index
};

// The vendor names by code; 0 is any other text.
inline constexpr std::string_view kVendorTexts[] = {
    "Bogus CPU 42", "GenuineIntel", "AuthenticAMD", "UMC UMC UMC ", "CyrixInstead",
    "NexGenDriven", "CentaurHauls", "RiseRiseRise", "SiS SiS SiS ", "GenuineTMx86",
    "Geode by NSC"};

inline std::int32_t Signature(int family, int model, int stepping = 0, int modelEx = 0,
                              int familyEx = 0) {
    return familyEx << 20 | modelEx << 16 | family << 8 | model << 4 | stepping;
}

class CpuInfoTest : public ::testing::Test {
protected:
    std::shared_ptr<CpuidScript> script = std::make_shared<CpuidScript>();
    cCpuInfo info{std::make_unique<ScriptedProcessor>(script)};

    void Set(std::int32_t nReg, const CpuRegs& r) { info.LevelSet(nReg, r.eax, r.ebx, r.ecx, r.edx); }

    // Every leaf replaced, then the levels and the vendor recomputed.
    void Load(const Cpu& cpu) {
        for (std::int32_t n = 0; n <= 12; ++n) Set(n, CpuRegs{});
        Set(0, {cpu.maxStd, RegFromText(cpu.vendor.substr(0, 4)),
                RegFromText(cpu.vendor.substr(8, 4)), RegFromText(cpu.vendor.substr(4, 4))});
        Set(1, cpu.std1);
        Set(kExt, {cpu.maxExt, 0, 0, 0});
        Set(kExt + 1, cpu.ext1);
        for (const auto& [n, regs] : cpu.more) Set(n, regs);
        info.Refresh(false);
    }
};

