#include "cpu/processor_pin.h"

#include <windows.h>

#include "platform/system_library.h"

namespace {

std::uintptr_t LowestBit(std::uintptr_t mask) { return mask & (~mask + 1); }

}  // namespace

std::uintptr_t CurrentProcessorMask() {
    DWORD_PTR processMask = 0, systemMask = 0;
    if (!::GetProcessAffinityMask(::GetCurrentProcess(), &processMask, &systemMask))
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
    if (processorMask != 0)
        previousMask_ = ::SetThreadAffinityMask(::GetCurrentThread(), processorMask);
}

ProcessorPin::~ProcessorPin() {
    if (previousMask_ != 0) ::SetThreadAffinityMask(::GetCurrentThread(), previousMask_);
}
