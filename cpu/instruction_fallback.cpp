#include "cpu/instruction_fallback.h"

#include <cstring>

#include "cpu/cmov_emulation.h"

namespace {

// Set once, before any code that could fault runs, and only read after.
LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;

std::optional<std::uint32_t> ReadData(std::uint32_t address) {
    const void* at = reinterpret_cast<const void*>(static_cast<std::uintptr_t>(address));
    if (::IsBadReadPtr(at, sizeof(std::uint32_t))) return std::nullopt;
    std::uint32_t value = 0;
    std::memcpy(&value, at, sizeof value);
    return value;
}

bool EmulateAt(CONTEXT& context) {
    // The instruction may end just before an unreadable page.
    std::uint8_t code[15] = {};
    std::size_t available = sizeof code;
    const auto* eip = reinterpret_cast<const std::uint8_t*>(static_cast<std::uintptr_t>(context.Eip));
    while (available > 0 && ::IsBadReadPtr(eip, available)) --available;
    std::memcpy(code, eip, available);

    CmovRegisters registers{{context.Eax, context.Ecx, context.Edx, context.Ebx, context.Esp,
                             context.Ebp, context.Esi, context.Edi},
                            context.EFlags,
                            context.Eip};
    if (!EmulateCmov(code, available, registers, ReadData)) return false;
    DWORD* targets[8] = {&context.Eax, &context.Ecx, &context.Edx, &context.Ebx,
                         &context.Esp, &context.Ebp, &context.Esi, &context.Edi};
    for (int i = 0; i < 8; ++i) *targets[i] = registers.general[i];
    context.Eip = registers.eip;
    return true;
}

}  // namespace

LONG WINAPI EmulateMissingInstruction(EXCEPTION_POINTERS* exception) {
    const DWORD needed = CONTEXT_INTEGER | CONTEXT_CONTROL;
    if (exception->ExceptionRecord->ExceptionCode == EXCEPTION_ILLEGAL_INSTRUCTION &&
        (exception->ContextRecord->ContextFlags & needed) == needed &&
        EmulateAt(*exception->ContextRecord))
        return EXCEPTION_CONTINUE_EXECUTION;
    return previousFilter ? previousFilter(exception) : EXCEPTION_CONTINUE_SEARCH;
}

void InstallInstructionFallback() {
    previousFilter = ::SetUnhandledExceptionFilter(EmulateMissingInstruction);
}
