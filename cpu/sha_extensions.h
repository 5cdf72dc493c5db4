// Whether the SHA-256 of the setup download may use the processor's SHA
// extensions. Decided once, through the program's own CPUID routines.
#pragma once

#include <cstdint>

// The registers that decide it: leaf 0's EAX (the highest standard leaf),
// leaf 1's ECX, leaf 7 sub-leaf 0's EBX, and whether the system saves the
// SSE registers across task switches (Windows 95 and NT 4.0 do not).
bool ShaExtensionsUsable(std::uint32_t highestLeaf, std::uint32_t leafOneEcx,
                         std::uint32_t leafSevenEbx, bool systemSavesSseState);

// The answer for this processor and system, worked out on the first call.
bool ProcessorHasShaExtensions();

// The CPUID routine of cCPUID with ECX cleared just before CPUID, so that
// leaves with sub-leaves (leaf 7) answer for sub-leaf 0.
extern const char kCpuIdSubLeafZeroText[];
