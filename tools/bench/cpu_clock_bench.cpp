// Measures the processor clock the way the processor check does: a fresh
// cCpuInfo, BenchStart, 20,001 rounds of window-event processing while the
// (hidden) main window exists, BenchStop. Prints one line:
//   <MHz> <seconds> <cycles> <logical count>
// and exits 1 when the measurement failed.
#include <windows.h>

#include <cstdio>

#include "cpu/cpu_info.h"
#include "platform/message_pump.h"
#include "platform/owned.h"

int main() {
    OwnedWindow window(::CreateWindowExA(0, "STATIC", "cpu clock bench", WS_OVERLAPPEDWINDOW, 0,
                                         0, 200, 100, nullptr, nullptr, nullptr, nullptr));
    ProcessPendingEvents();

    cCpuInfo info;
    info.BenchStart();
    for (int round = 0; round <= 20'000; ++round) ProcessPendingEvents();
    double seconds = 0;
    Fixed64 cycles;
    if (!info.BenchStop(seconds, cycles)) {
        std::fprintf(stderr, "the measurement failed\n");
        return 1;
    }
    double mhz = cycles.Value() / seconds / 1'000'000;
    std::printf("%.3f %.6f %.0f %d\n", mhz, seconds, cycles.Value(),
                static_cast<int>(info.CpuLogicalCount().value_or(0)));
    return 0;
}
