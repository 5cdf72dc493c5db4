#include "cpu/cpuid_thunks.h"

#include <cstring>

#include "cpu/routine_text.h"

namespace {

using CpuClkRoutine = std::int32_t(__stdcall*)(const void* self, Fixed64* cycles);
using CpuIdRoutine = std::int32_t(__stdcall*)(const void* self, std::int32_t level,
                                              std::int32_t* eax, std::int32_t* ebx,
                                              std::int32_t* ecx, std::int32_t* edx);
using ShiftRightRoutine = std::int32_t(__stdcall*)(const void* self, std::int32_t value,
                                                   std::int32_t count, std::int32_t* result);

template <typename Function>
Function As(const void* entry) {
    return reinterpret_cast<Function>(const_cast<void*>(entry));
}

// The bytes in a block of their own that is executable and no longer
// writable; empty when any step fails.
OwnedVirtualMemory ExecutableCopy(const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty()) return {};
    OwnedVirtualMemory block(
        ::VirtualAlloc(nullptr, bytes.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!block) return {};
    std::memcpy(block.get(), bytes.data(), bytes.size());
    DWORD previous = 0;
    if (!::VirtualProtect(block.get(), bytes.size(), PAGE_EXECUTE_READ, &previous)) return {};
    ::FlushInstructionCache(::GetCurrentProcess(), block.get(), bytes.size());
    return block;
}

}  // namespace

cCPUID::cCPUID(const RoutineTexts& texts) {
    // Each routine goes to its own operation's entry, so one that fails to
    // install cannot shift the others into the wrong place.
    AddThunk(kCpuClk, texts.cpuClk);
    AddThunk(kCpuId, texts.cpuId);
    AddThunk(kShiftRight, texts.shiftRight);
}

void cCPUID::AddThunk(Routine routine, std::string_view Code) {
    auto bytes = RoutineBytes(Code);
    if (!bytes) return;
    OwnedVirtualMemory block = ExecutableCopy(*bytes);
    if (!block) return;
    routines_[routine] = block.get();
    slots_.push_back(ThunkSlot{std::move(block)});
}

void cCPUID::CpuClk(Fixed64& Cycles) const {
    if (auto run = As<CpuClkRoutine>(routines_[kCpuClk])) run(this, &Cycles);
}

void cCPUID::CpuID(std::int32_t nLevel, std::int32_t& eax, std::int32_t& ebx, std::int32_t& ecx,
                   std::int32_t& edx) const {
    if (auto run = As<CpuIdRoutine>(routines_[kCpuId])) run(this, nLevel, &eax, &ebx, &ecx, &edx);
}

std::int32_t cCPUID::ShiftRight(std::int32_t Value, std::int32_t Shift) const {
    std::int32_t result = 0;
    if (auto run = As<ShiftRightRoutine>(routines_[kShiftRight])) run(this, Value, Shift, &result);
    return result;
}
