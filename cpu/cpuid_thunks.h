// cCPUID: reads the time-stamp counter, executes CPUID and shifts right
// logically by running three small 32-bit x86 routines that it carries as
// text. Construction turns each text into bytes in executable memory;
// destruction frees it.
//
// Every instance keeps its own table of routine addresses (class dispatch
// tables are read-only), so any number of instances may live side by side.
// An operation whose routine could not be installed runs a do-nothing body:
// outputs untouched, ShiftRight 0.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "cpu/processor_instructions.h"
#include "platform/owned.h"

// The routines' texts. Each is called with every argument one 32-bit word on
// the stack, the object's address first (ignored); it removes its own
// arguments, returns 0 in EAX and keeps EBX, ESI, EDI and EBP.
struct RoutineTexts {
    // (this, Fixed64*): RDTSC stored low doubleword first.
    std::string_view cpuClk;
    // (this, level, eax*, ebx*, ecx*, edx*): probes the ID flag first and
    // answers four zeros without CPUID.
    std::string_view cpuId;
    // (this, value, count, result*): SHR by CL.
    std::string_view shiftRight;
};

inline constexpr RoutineTexts kRoutineTexts{
    "0F318B4C2408890189510433C0C20800",
    "558BEC83C4FC539C580FBAF815509D9C5A33C2740A33C033DB33C933D2EB058B450C0FA2"
    "8955FC8B551089028B5514891A8B5518890A8B551C8B45FC89025B33C0C9C21800",
    "8B4424088B4C240C8B542410D3E8890233C0C21000",
};

class cCPUID final : public ProcessorInstructions {
public:
    cCPUID() : cCPUID(kRoutineTexts) {}
    // Other texts are for tests: a text that cannot be installed leaves the
    // do-nothing body of its operation in place.
    explicit cCPUID(const RoutineTexts& texts);
    ~cCPUID() override = default;

    // The routines' addresses live in this object.
    cCPUID(const cCPUID&) = delete;
    cCPUID& operator=(const cCPUID&) = delete;

    void CpuClk(Fixed64& Cycles) const override;
    void CpuID(std::int32_t nLevel, std::int32_t& eax, std::int32_t& ebx, std::int32_t& ecx,
               std::int32_t& edx) const override;
    std::int32_t ShiftRight(std::int32_t Value, std::int32_t Shift) const override;

    // How many of the three routines are installed.
    int InstalledCount() const { return static_cast<int>(slots_.size()); }

private:
    enum Routine { kCpuClk, kCpuId, kShiftRight, kRoutineCount };

    // One installed routine: its executable block.
    struct ThunkSlot {
        OwnedVirtualMemory memory;
    };

    void AddThunk(Routine routine, std::string_view Code);

    std::vector<ThunkSlot> slots_;
    // Entry of each operation; null runs its do-nothing body.
    std::array<const void*, kRoutineCount> routines_{};
};
