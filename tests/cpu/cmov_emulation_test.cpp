#include <gtest/gtest.h>

#include <cstring>

#include "cpu/cmov_emulation.h"
#include "cpu/instruction_fallback.h"

namespace {

constexpr std::uint32_t kStatusFlags[] = {1u << 0, 1u << 2, 1u << 6, 1u << 7, 1u << 11};

// CMOVcc run by this machine's own processor, which has it: the reference
// the emulation must match for every condition and every status flag.
#define REAL_CMOV(cc)                                                               \
    [](std::uint32_t flags, std::uint32_t dest, std::uint32_t source) {            \
        asm("pushl %[flags]\n\tpopfl\n\tcmov" #cc " %[source], %[dest]"             \
            : [dest] "+r"(dest)                                                     \
            : [flags] "r"(flags), [source] "r"(source)                              \
            : "cc");                                                                \
        return dest;                                                                \
    }
using RealCmov = std::uint32_t (*)(std::uint32_t, std::uint32_t, std::uint32_t);
const RealCmov kRealCmov[16] = {REAL_CMOV(o),  REAL_CMOV(no), REAL_CMOV(b),  REAL_CMOV(ae),
                                REAL_CMOV(e),  REAL_CMOV(ne), REAL_CMOV(be), REAL_CMOV(a),
                                REAL_CMOV(s),  REAL_CMOV(ns), REAL_CMOV(p),  REAL_CMOV(np),
                                REAL_CMOV(l),  REAL_CMOV(ge), REAL_CMOV(le), REAL_CMOV(g)};

std::optional<std::uint32_t> NoMemory(std::uint32_t) { return std::nullopt; }

TEST(CmovEmulation, MatchesTheProcessorForEveryConditionAndFlagSet) {
    for (unsigned cc = 0; cc < 16; ++cc) {
        for (unsigned set = 0; set < 32; ++set) {
            std::uint32_t flags = 0x2;  // bit 1 always reads as one
            for (int bit = 0; bit < 5; ++bit)
                if (set & (1u << bit)) flags |= kStatusFlags[bit];
            // cmovcc eax, ecx
            const std::uint8_t code[] = {0x0F, static_cast<std::uint8_t>(0x40 + cc), 0xC1};
            CmovRegisters registers;
            registers.general[0] = 111;
            registers.general[1] = 222;
            registers.eflags = flags;
            registers.eip = 0x1000;
            ASSERT_TRUE(EmulateCmov(code, sizeof code, registers, NoMemory));
            EXPECT_EQ(registers.general[0], kRealCmov[cc](flags, 111, 222))
                << "cc " << cc << " flags " << flags;
            EXPECT_EQ(registers.eip, 0x1003u);
        }
    }
}

TEST(CmovEmulation, MemoryOperandsReadTheEffectiveAddress) {
    struct Case {
        std::vector<std::uint8_t> code;
        std::uint32_t address;
    };
    // EBX = 0x4000, ESI = 3, EBP = 0x8000; the zero flag is clear, so NE holds.
    const Case cases[] = {
        {{0x0F, 0x45, 0x54, 0xB3, 0x08}, 0x4000 + 3 * 4 + 8},       // [ebx+esi*4+8]
        {{0x0F, 0x45, 0x05, 0x78, 0x56, 0x34, 0x12}, 0x12345678},   // [disp32]
        {{0x0F, 0x45, 0x45, 0xFC}, 0x8000 - 4},                     // [ebp-4]
        {{0x0F, 0x45, 0x04, 0x35, 0x10, 0, 0, 0}, 3 + 0x10},        // [esi+disp32], no base
        {{0x3E, 0x0F, 0x45, 0x83, 0, 1, 0, 0}, 0x4000 + 0x100},     // ds:[ebx+disp32]
    };
    for (const Case& c : cases) {
        CmovRegisters registers;
        registers.general[3] = 0x4000;
        registers.general[5] = 0x8000;
        registers.general[6] = 3;
        std::uint32_t readAt = 0;
        auto memory = [&](std::uint32_t address) -> std::optional<std::uint32_t> {
            readAt = address;
            return 0xCAFE;
        };
        ASSERT_TRUE(EmulateCmov(c.code.data(), c.code.size(), registers, memory));
        EXPECT_EQ(readAt, c.address);
        unsigned reg = (c.code[c.code[0] == 0x3E ? 3 : 2] >> 3) & 7;
        EXPECT_EQ(registers.general[reg], 0xCAFEu);
        EXPECT_EQ(registers.eip, c.code.size());
    }
}

TEST(CmovEmulation, LeavesEverythingElseAlone) {
    const std::vector<std::vector<std::uint8_t>> refused = {
        {0x0F, 0x0B},                    // ud2: a real illegal instruction
        {0x0F, 0x45},                    // cut off before its ModRM byte
        {0x0F, 0x45, 0x05, 0x78, 0x56},  // cut off inside its displacement
        {0x64, 0x0F, 0x45, 0x05, 0, 0, 0, 0},  // FS: not flat memory
        {0x66, 0x0F, 0x45, 0xC1},        // 16-bit operands
        {0x0F, 0x45, 0x03},              // [ebx] that cannot be read
        std::vector<std::uint8_t>(20, 0x3E),   // prefixes past the longest instruction
    };
    for (const auto& code : refused) {
        CmovRegisters registers;
        registers.general[0] = 7;
        registers.eip = 0x500;
        EXPECT_FALSE(EmulateCmov(code.data(), code.size(), registers, NoMemory));
        EXPECT_EQ(registers.general[0], 7u);
        EXPECT_EQ(registers.eip, 0x500u);
    }
}

TEST(InstructionFallback, ResumesAfterAnEmulatedMoveAndPassesOnTheRest) {
    static std::uint32_t source = 0x5EED;
    std::uint8_t code[16] = {0x0F, 0x44, 0x05};  // cmove eax, [&source]
    std::uint32_t address = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&source));
    std::memcpy(code + 3, &address, 4);

    EXCEPTION_RECORD record{};
    record.ExceptionCode = EXCEPTION_ILLEGAL_INSTRUCTION;
    CONTEXT context{};
    context.ContextFlags = CONTEXT_FULL;
    context.Eip = static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(code));
    context.EFlags = 0x2 | 0x40;  // zero flag set
    EXCEPTION_POINTERS pointers{&record, &context};
    EXPECT_EQ(EmulateMissingInstruction(&pointers), EXCEPTION_CONTINUE_EXECUTION);
    EXPECT_EQ(context.Eax, 0x5EEDu);
    EXPECT_EQ(context.Eip, reinterpret_cast<std::uintptr_t>(code) + 7);

    code[0] = 0x0F;
    code[1] = 0x0B;  // ud2 stays a fault
    context.Eip = static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(code));
    EXPECT_EQ(EmulateMissingInstruction(&pointers), EXCEPTION_CONTINUE_SEARCH);
    record.ExceptionCode = EXCEPTION_ACCESS_VIOLATION;
    EXPECT_EQ(EmulateMissingInstruction(&pointers), EXCEPTION_CONTINUE_SEARCH);
}

}  // namespace
