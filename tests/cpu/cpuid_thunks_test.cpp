#include "cpu/cpuid_thunks.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "cpu/routine_text.h"

namespace {

// The vendor text of CPUID level 0: ebx, edx, ecx, lowest byte first.
std::string VendorText(std::int32_t ebx, std::int32_t edx, std::int32_t ecx) {
    char text[12];
    std::memcpy(text, &ebx, 4);
    std::memcpy(text + 4, &edx, 4);
    std::memcpy(text + 8, &ecx, 4);
    return std::string(text, 12);
}

TEST(RoutineBytes, DecodesPairsAndRefusesGarbage) {
    using Bytes = std::vector<std::uint8_t>;
    EXPECT_EQ(RoutineBytes("0F31C20800"), (Bytes{0x0F, 0x31, 0xC2, 0x08, 0x00}));
    EXPECT_EQ(RoutineBytes("0f31"), (Bytes{0x0F, 0x31}));
    EXPECT_EQ(RoutineBytes("0F3"), (Bytes{0x0F})) << "odd tail is not read";
    EXPECT_EQ(RoutineBytes("0FZ"), (Bytes{0x0F})) << "not even a garbled tail";
    EXPECT_EQ(RoutineBytes(""), Bytes{});
    EXPECT_EQ(RoutineBytes("0G"), std::nullopt);
    EXPECT_EQ(RoutineBytes("0F 31"), std::nullopt);
}

TEST(RoutineBytes, TheThreeRoutinesHaveTheirLengths) {
    EXPECT_EQ(RoutineBytes(kRoutineTexts.cpuClk)->size(), 16u);
    EXPECT_EQ(RoutineBytes(kRoutineTexts.cpuId)->size(), 69u);
    EXPECT_EQ(RoutineBytes(kRoutineTexts.shiftRight)->size(), 21u);
}

struct ShiftCase {
    std::int32_t value, shift, expected;
};

class ShiftRightCases : public ::testing::TestWithParam<ShiftCase> {};

TEST_P(ShiftRightCases, LogicalAndCountModulo32) {
    static const cCPUID cpu;
    const ShiftCase& c = GetParam();
    EXPECT_EQ(cpu.ShiftRight(c.value, c.shift), c.expected) << c.value << " >> " << c.shift;
}

constexpr std::int32_t kBit31 = static_cast<std::int32_t>(0x80000000u);

INSTANTIATE_TEST_SUITE_P(
    Shifts, ShiftRightCases,
    ::testing::Values(ShiftCase{kBit31, 31, 1},  // no sign extension
                      ShiftCase{-1, 16, 65535}, ShiftCase{-1, 31, 1},
                      ShiftCase{0x12345678, 32, 0x12345678},  // count modulo 32
                      ShiftCase{kBit31, 33, 0x40000000}, ShiftCase{0x12345678, 33, 0x091A2B3C},
                      ShiftCase{0x12345678, 0, 0x12345678}, ShiftCase{-1, 0, -1},
                      ShiftCase{0x12345678, 4, 0x01234567}, ShiftCase{0x7F, 7, 0}));

TEST(CpuID, LevelZeroAnswersTheHostsVendor) {
    cCPUID cpu;
    std::int32_t eax = -1, ebx = -1, ecx = -1, edx = -1;
    cpu.CpuID(0, eax, ebx, ecx, edx);
    EXPECT_GT(eax, 0) << "maximum standard level";
    const char* host = std::getenv("TSCHECK_HOST_CPU_VENDOR");
    if (!host) GTEST_SKIP() << "the host's vendor text was not passed in";
    EXPECT_EQ(VendorText(ebx, edx, ecx), host);
}

TEST(CpuID, LevelOneReportsAFamily) {
    cCPUID cpu;
    std::int32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
    cpu.CpuID(1, eax, ebx, ecx, edx);
    EXPECT_NE((eax >> 8) & 0xF, 0);
    EXPECT_NE(edx & (1 << 4), 0) << "every processor that runs Wine has a time-stamp counter";
}

TEST(CpuClk, ReadsAGrowingCounter) {
    cCPUID cpu;
    Fixed64 first, second;
    cpu.CpuClk(first);
    ::Sleep(1);
    cpu.CpuClk(second);
    EXPECT_GT(first.raw, 0);
    EXPECT_GT(second.raw, first.raw);
}

TEST(Instances, LiveSideBySideAndOutliveEachOther) {
    auto first = std::make_unique<cCPUID>();
    cCPUID second;
    EXPECT_EQ(first->InstalledCount(), 3);
    EXPECT_EQ(second.InstalledCount(), 3);
    EXPECT_EQ(first->ShiftRight(-1, 28), 15);
    first.reset();
    EXPECT_EQ(second.ShiftRight(-1, 28), 15);
    Fixed64 reading;
    second.CpuClk(reading);
    EXPECT_GT(reading.raw, 0);
    cCPUID third;
    EXPECT_EQ(third.ShiftRight(kBit31, 31), 1);
}

TEST(Instances, RoutineThatCannotBeInstalledLeavesTheDoNothingBody) {
    // Garbled texts; the one good routine still lands in its own place.
    cCPUID cpu(RoutineTexts{"0F31XX", "", kRoutineTexts.shiftRight});
    EXPECT_EQ(cpu.InstalledCount(), 1);
    Fixed64 untouched{1234};
    cpu.CpuClk(untouched);
    EXPECT_EQ(untouched.raw, 1234);
    std::int32_t eax = 7, ebx = 7, ecx = 7, edx = 7;
    cpu.CpuID(0, eax, ebx, ecx, edx);
    EXPECT_EQ(eax + ebx + ecx + edx, 28);
    EXPECT_EQ(cpu.ShiftRight(-1, 16), 65535);

    cCPUID empty(RoutineTexts{kRoutineTexts.cpuClk, kRoutineTexts.cpuId, ""});
    EXPECT_EQ(empty.ShiftRight(-1, 16), 0);
}

TEST(Instances, OddLengthTextInstallsItsWholeBytes) {
    std::string odd = std::string(kRoutineTexts.shiftRight) + "F";
    cCPUID cpu(RoutineTexts{kRoutineTexts.cpuClk, kRoutineTexts.cpuId, odd});
    EXPECT_EQ(cpu.InstalledCount(), 3);
    EXPECT_EQ(cpu.ShiftRight(-1, 16), 65535);
}

}  // namespace
