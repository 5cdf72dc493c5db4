// The stopwatch half of cCpuInfo.
#include "cpu/cpu_info.h"
#include "cpu/stopwatch.h"

void cCpuInfo::BenchStart() {
    pin_.reset();  // an earlier interval's pin gives the thread back first
    benchProcessor_ = CurrentProcessorMask();
    pin_.emplace(benchProcessor_);
    // Performance counter first, time-stamp counter second, at both ends, so
    // the two bracket the interval with the same small offset.
    QpcStart = PerformanceCounterNow();
    instructions_->CpuClk(TscStart);
}

bool cCpuInfo::BenchStop(double& fSeconds, Fixed64& cCpuCycles) {
    // A later stop of the same interval reads on the start's processor again.
    if (!pin_) pin_.emplace(benchProcessor_);
    QpcStop = PerformanceCounterNow();
    instructions_->CpuClk(TscStop);
    pin_.reset();

    auto figures = BenchFiguresOf(QpcStart, QpcStop, QpcFrequency, TscStart, TscStop);
    if (!figures) {
        fSeconds = 0;
        cCpuCycles = Fixed64{};
        return false;
    }
    fSeconds = figures->seconds;
    cCpuCycles = figures->cycles;
    return true;
}
