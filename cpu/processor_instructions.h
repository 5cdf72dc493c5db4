// The three processor-level primitives that the processor information is
// built on. cCPUID runs them on the real processor; tests can hand
// cCpuInfo a scripted processor instead.
#pragma once

#include <cstdint>

#include "cpu/fixed64.h"

class ProcessorInstructions {
public:
    virtual ~ProcessorInstructions() = default;

    // Cycles receives the time-stamp counter as a raw 64-bit count.
    virtual void CpuClk(Fixed64& Cycles) const = 0;
    // The four registers that CPUID returns for nLevel (ECX undefined on
    // entry); four zeros on a processor without CPUID.
    virtual void CpuID(std::int32_t nLevel, std::int32_t& eax, std::int32_t& ebx,
                       std::int32_t& ecx, std::int32_t& edx) const = 0;
    // Value as 32 unsigned bits, shifted right by Shift modulo 32, zero-filled.
    virtual std::int32_t ShiftRight(std::int32_t Value, std::int32_t Shift) const = 0;
};
