#include "cpu/sha_extensions.h"

#include <windows.h>

#include "cpu/cpuid_thunks.h"
#include "platform/system_library.h"

// kRoutineTexts.cpuId with "xor ecx, ecx" (33C9) before "mov eax, [ebp+0C]"
// and the jump over that part of the routine lengthened by two (EB05 to
// EB07).
const char kCpuIdSubLeafZeroText[] =
    "558BEC83C4FC539C580FBAF815509D9C5A33C2740A33C033DB33C933D2EB0733C98B450C0FA2"
    "8955FC8B551089028B5514891A8B5518890A8B551C8B45FC89025B33C0C9C21800";

namespace {

constexpr std::uint32_t kSsse3 = 1u << 9;      // leaf 1, ECX
constexpr std::uint32_t kSse41 = 1u << 19;     // leaf 1, ECX
constexpr std::uint32_t kShaNi = 1u << 29;     // leaf 7 sub-leaf 0, EBX
constexpr DWORD kSseStateSaved = 6;            // PF_XMMI_INSTRUCTIONS_AVAILABLE

bool SystemSavesSseState() {
    // Not on Windows 95; where the call is missing, SSE registers are not
    // known to survive a task switch.
    using Query = BOOL(WINAPI*)(DWORD);
    Query present = BindKernel32<Query>("IsProcessorFeaturePresent");
    return present && present(kSseStateSaved);
}

bool Detect() {
    cCPUID cpu;
    std::int32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
    cpu.CpuID(0, eax, ebx, ecx, edx);
    const auto highest = static_cast<std::uint32_t>(eax);
    if (highest < 7) return false;
    cpu.CpuID(1, eax, ebx, ecx, edx);
    const auto leafOneEcx = static_cast<std::uint32_t>(ecx);

    cCPUID subLeafZero(RoutineTexts{kRoutineTexts.cpuClk, kCpuIdSubLeafZeroText,
                                    kRoutineTexts.shiftRight});
    eax = ebx = ecx = edx = 0;
    subLeafZero.CpuID(7, eax, ebx, ecx, edx);
    return ShaExtensionsUsable(highest, leafOneEcx, static_cast<std::uint32_t>(ebx),
                               SystemSavesSseState());
}

}  // namespace

bool ShaExtensionsUsable(std::uint32_t highestLeaf, std::uint32_t leafOneEcx,
                         std::uint32_t leafSevenEbx, bool systemSavesSseState) {
    return highestLeaf >= 7 && (leafOneEcx & (kSsse3 | kSse41)) == (kSsse3 | kSse41) &&
           (leafSevenEbx & kShaNi) != 0 && systemSavesSseState;
}

bool ProcessorHasShaExtensions() {
    static const bool usable = Detect();
    return usable;
}
