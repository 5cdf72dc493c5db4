#include "cpu/processor_pin.h"

#include <windows.h>

#include "platform/system_library.h"

namespace {

std::uintptr_t LowestBit(std::uintptr_t mask) { return mask & (~mask + 1); }

// Affinity belongs to the NT family; Windows 9x has one processor and
// nothing to pin, so both are bound at run time and simply absent there.
using GetProcessAffinityMaskFn = BOOL(WINAPI*)(HANDLE, PDWORD_PTR, PDWORD_PTR);
using SetThreadAffinityMaskFn = DWORD_PTR(WINAPI*)(HANDLE, DWORD_PTR);

SetThreadAffinityMaskFn SetThreadAffinity() {
    static const auto bound = BindKernel32<SetThreadAffinityMaskFn>("SetThreadAffinityMask");
    return bound;
}

}  // namespace

std::uintptr_t CurrentProcessorMask() {
    DWORD_PTR processMask = 0, systemMask = 0;
    static const auto processAffinity =
        BindKernel32<GetProcessAffinityMaskFn>("GetProcessAffinityMask");
    if (!processAffinity || !processAffinity(::GetCurrentProcess(), &processMask, &systemMask))
        processMask = 0;
    // Vista and later know the current processor; older systems do not.
    using GetCurrentProcessorNumberFn = DWORD(WINAPI*)();
    static const auto currentNumber =
        BindKernel32<GetCurrentProcessorNumberFn>("GetCurrentProcessorNumber");
    if (currentNumber) {
        DWORD number = currentNumber();
        if (number < sizeof(std::uintptr_t) * 8) {
            std::uintptr_t mask = std::uintptr_t{1} << number;
            if (processMask == 0 || (processMask & mask) != 0) return mask;
        }
    }
    return LowestBit(processMask);
}

ProcessorPin::ProcessorPin(std::uintptr_t processorMask) {
    if (processorMask != 0 && SetThreadAffinity())
        previousMask_ = SetThreadAffinity()(::GetCurrentThread(), processorMask);
}

ProcessorPin::~ProcessorPin() {
    if (previousMask_ != 0) SetThreadAffinity()(::GetCurrentThread(), previousMask_);
}
