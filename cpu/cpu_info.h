// cCpuInfo: the processor's CPUID leaves, read once and kept raw, and the
// answers derived from them (vendor, family, model, names, features, serial
// number, cache fields). Every bit field is taken with ShiftRight of the
// instruction object. The same object carries the clock-speed stopwatch.
//
// Texts are in the Windows ANSI code page. Members whose condition is not
// met answer the empty text, 0 or false. `Standard` true selects standard
// leaf 1, false extended leaf 0x80000001.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cpu/fixed64.h"
#include "cpu/processor_instructions.h"
#include "cpu/processor_pin.h"

// The registers of one CPUID leaf as returned.
struct CpuRegs {
    std::int32_t eax = 0;
    std::int32_t ebx = 0;
    std::int32_t ecx = 0;
    std::int32_t edx = 0;
};

class cCpuInfo {
public:
    // Reads every leaf from the real processor and the performance-counter
    // frequency.
    cCpuInfo();
    // The same with another processor (tests).
    explicit cCpuInfo(std::unique_ptr<ProcessorInstructions> instructions);
    ~cCpuInfo();

    cCpuInfo(const cCpuInfo&) = delete;
    cCpuInfo& operator=(const cCpuInfo&) = delete;

    std::int32_t ApicID() const;

    // The stopwatch. BenchStart starts an interval and keeps the thread on
    // its current processor until BenchStop, which reports the seconds and
    // the processor cycles (fixed-point value = cycles) since BenchStart.
    // BenchStop may be called again, measuring from the same start. It
    // returns false, with both outputs 0, when no figure can be given: no
    // performance counter, no time elapsed, a counter that went backwards or
    // more cycles than Fixed64 holds.
    void BenchStart();
    [[nodiscard]] bool BenchStop(double& fSeconds, Fixed64& cCpuCycles);

    // The descriptor bytes of leaf 2 (index 0 here is the first byte), zero
    // bytes dropped; {0} when leaf 2 does not exist. Runs CPUID 2 again for
    // every pass the leaf asks for beyond the first and keeps the last answer.
    std::vector<std::uint8_t> CacheDescriptors();

    std::int32_t CpuBrand(bool Standard = false) const;
    std::string CpuBrandStr(bool Standard = false) const;
    // Empty when there is no standard leaf 1.
    std::optional<std::int32_t> CpuLogicalCount() const;
    std::int32_t CpuFamily(bool Standard = false) const;
    std::int32_t CpuFamilyEx(bool Standard = false) const;
    std::string CpuFamilyStr(bool Standard = false) const;
    std::int32_t CpuModel(bool Standard = false) const;
    std::int32_t CpuModelEx(bool Standard = false) const;
    std::string CpuModelStr(bool Standard = false) const;
    std::int32_t CpuStepping(bool Standard = false) const;
    std::int32_t CpuType() const;
    std::string CpuTypeStr() const;
    bool Extended() const;
    // Bits 0..31 of leaf 1's ECX, 32..63 of its EDX, 64..95 of the extended
    // leaf 1's EDX.
    bool Feature(std::int32_t nType) const;
    // Upper-case hexadecimal, at least nWidth digits; a negative value gives
    // the eight digits of its two's complement.
    static std::string HexPad(std::int32_t nValue, std::int32_t nWidth = 0);
    std::int32_t LevelsExt() const;
    std::int32_t LevelsStd() const;
    std::string NameStr() const;
    // nReg 0..3: standard leaf nReg; 4..12: extended leaf nReg - 4; any
    // other does nothing. LevelSet changes no derived value until Refresh.
    void LevelGet(std::int32_t nReg, std::int32_t& eax, std::int32_t& ebx, std::int32_t& ecx,
                  std::int32_t& edx) const;
    void LevelSet(std::int32_t nReg, std::int32_t eax, std::int32_t ebx, std::int32_t ecx,
                  std::int32_t edx);
    std::string ManufacturerStr() const;
    // true: read all thirteen leaves again; false: only recompute the levels
    // and the vendor from the stored leaves.
    void Refresh(bool bReReadCPU);
    // 0 without leaf 3, 2 when the serial number is enabled, else 1.
    std::int32_t SnStatus() const;
    std::string SnStr() const;
    bool Supported() const;
    std::int32_t Vendor() const;
    std::string VendorIdStr(bool Standard = false) const;
    std::int32_t xAddrBitsPhysical() const;
    std::int32_t xAddrBitsVirtual() const;
    // Fields 0..27 of the extended leaves 5 and 6 (TLB and cache geometry).
    std::int32_t xCache(std::int32_t Field) const;
    std::string xCacheAssocStr(std::int32_t nType) const;
    bool xPowerManagement(std::int32_t nType) const;

private:
    // Bits high..low of a register, through ShiftRight.
    std::int32_t Bits(std::int32_t reg, int high, int low) const;
    bool Bit(std::int32_t reg, int bit) const { return Bits(reg, bit, bit) != 0; }
    // Leaf 1 of the selected kind, when its level is there.
    const CpuRegs* LeafOne(bool Standard) const;
    CpuRegs* Leaf(std::int32_t nReg);
    std::string RegToStr(std::int32_t reg) const;

    std::int32_t levelsStd_ = 0;
    std::int32_t levelsExt_ = 0;
    std::int32_t vendorCode_ = 0;
    Fixed64 TscStart, TscStop, QpcFrequency, QpcStart, QpcStop;
    std::array<CpuRegs, 4> StdLeaves{};
    std::array<CpuRegs, 9> ExtLeaves{};
    std::unique_ptr<ProcessorInstructions> instructions_;
    // The processor BenchStart read on, and the pin that keeps us there.
    std::uintptr_t benchProcessor_ = 0;
    std::optional<ProcessorPin> pin_;
};
