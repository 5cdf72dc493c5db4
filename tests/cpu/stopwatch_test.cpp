#include "cpu/stopwatch.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "cpu/cpu_info.h"

namespace {

constexpr std::int64_t kMaxCycles = 922'337'203'685'477;  // the most Fixed64 holds

struct FiguresCase {
    const char* what;
    std::int64_t qpcStart, qpcStop, frequency, tscStart, tscStop;
    bool ok;
    double seconds;
    std::int64_t cycles;
};

class BenchFiguresCases : public ::testing::TestWithParam<FiguresCase> {};

TEST_P(BenchFiguresCases, SecondsAndWholeCyclesOrFailure) {
    const FiguresCase& c = GetParam();
    auto figures = BenchFiguresOf(Fixed64{c.qpcStart}, Fixed64{c.qpcStop}, Fixed64{c.frequency},
                                  Fixed64{c.tscStart}, Fixed64{c.tscStop});
    ASSERT_EQ(figures.has_value(), c.ok) << c.what;
    if (!figures) return;
    EXPECT_DOUBLE_EQ(figures->seconds, c.seconds) << c.what;
    EXPECT_EQ(figures->cycles.Value(), static_cast<double>(c.cycles)) << c.what;
    EXPECT_EQ(figures->cycles.raw, c.cycles * Fixed64::kScale) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Intervals, BenchFiguresCases,
    ::testing::Values(
        // 2,000 MHz for 0.05 s on a 10 MHz performance counter.
        FiguresCase{"steady 2 GHz", 1'000'000, 1'500'000, 10'000'000, 7'000'000'000,
                    7'100'000'000, true, 0.05, 100'000'000},
        FiguresCase{"plain seconds", 0, 3'579'545, 3'579'545, 0, 1, true, 1.0, 1},
        FiguresCase{"largest count", 0, 1, 1, 5, 5 + kMaxCycles, true, 1.0, kMaxCycles},
        FiguresCase{"one cycle too many", 0, 1, 1, 5, 6 + kMaxCycles, false, 0, 0},
        FiguresCase{"no performance counter", 0, 100, 0, 0, 100, false, 0, 0},
        FiguresCase{"negative frequency", 0, 100, -1, 0, 100, false, 0, 0},
        FiguresCase{"no time elapsed", 100, 100, 10, 0, 100, false, 0, 0},
        FiguresCase{"performance counter backwards", 100, 99, 10, 0, 100, false, 0, 0},
        FiguresCase{"time-stamp counter backwards", 0, 100, 10, 100, 99, false, 0, 0},
        FiguresCase{"difference does not fit", 0, 100, 10, INT64_MIN, INT64_MAX, false, 0,
                    0}));

// The thread's affinity, read by setting it and putting it straight back.
DWORD_PTR ThreadAffinity() {
    DWORD_PTR process = 0, system = 0;
    ::GetProcessAffinityMask(::GetCurrentProcess(), &process, &system);
    DWORD_PTR current = ::SetThreadAffinityMask(::GetCurrentThread(), process);
    ::SetThreadAffinityMask(::GetCurrentThread(), current);
    return current;
}

bool SingleProcessor(DWORD_PTR mask) { return mask != 0 && (mask & (mask - 1)) == 0; }

TEST(Stopwatch, TwoStopsGrowAndAgreeWithTheClock) {
    cCpuInfo info;
    info.BenchStart();
    ::Sleep(20);
    double firstSeconds = 0, secondSeconds = 0;
    Fixed64 firstCycles, secondCycles;
    ASSERT_TRUE(info.BenchStop(firstSeconds, firstCycles));
    ::Sleep(20);
    ASSERT_TRUE(info.BenchStop(secondSeconds, secondCycles));
    EXPECT_GE(firstSeconds, 0.015);
    EXPECT_LT(firstSeconds, 5.0) << "plain seconds, not scaled";
    EXPECT_GT(secondSeconds, firstSeconds);
    EXPECT_GT(secondCycles.raw, firstCycles.raw);
    EXPECT_EQ(secondCycles.raw % Fixed64::kScale, 0) << "a whole number of cycles";
    double mhz = secondCycles.Value() / secondSeconds / 1e6;
    EXPECT_GT(mhz, 100.0);
    EXPECT_LT(mhz, 10'000.0);
}

TEST(Stopwatch, KeepsTheThreadOnOneProcessorOnlyWhileMeasuring) {
    DWORD_PTR process = 0, system = 0;
    ASSERT_TRUE(::GetProcessAffinityMask(::GetCurrentProcess(), &process, &system));
    ::SetThreadAffinityMask(::GetCurrentThread(), process);
    cCpuInfo info;
    info.BenchStart();
    DWORD_PTR during = ThreadAffinity();
    EXPECT_TRUE(SingleProcessor(during)) << std::hex << during;
    EXPECT_NE(during & process, 0u);
    double seconds = 0;
    Fixed64 cycles;
    ASSERT_TRUE(info.BenchStop(seconds, cycles));
    EXPECT_EQ(ThreadAffinity(), process);
    ASSERT_TRUE(info.BenchStop(seconds, cycles));
    EXPECT_EQ(ThreadAffinity(), process) << "a later stop gives the thread back too";
    info.BenchStart();
    {
        cCpuInfo other;  // another object's end leaves this interval alone
    }
    EXPECT_TRUE(SingleProcessor(ThreadAffinity()));
}

TEST(Stopwatch, OpenIntervalIsReleasedWithTheObject) {
    DWORD_PTR process = 0, system = 0;
    ASSERT_TRUE(::GetProcessAffinityMask(::GetCurrentProcess(), &process, &system));
    ::SetThreadAffinityMask(::GetCurrentThread(), process);
    {
        cCpuInfo info;
        info.BenchStart();
    }
    EXPECT_EQ(ThreadAffinity(), process);
}

TEST(Stopwatch, StopWithoutStartMeasuresFromTheCountersOrigins) {
    cCpuInfo info;
    double seconds = 0;
    Fixed64 cycles;
    // After about four days of uptime the count no longer fits: a failure.
    if (info.BenchStop(seconds, cycles)) {
        EXPECT_GT(seconds, 0.0);
        EXPECT_GT(cycles.raw, 0);
    } else {
        EXPECT_EQ(seconds, 0.0);
        EXPECT_EQ(cycles.raw, 0);
    }
}

}  // namespace
