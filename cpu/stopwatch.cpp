#include "cpu/stopwatch.h"

#include <windows.h>

std::optional<BenchFigures> BenchFiguresOf(Fixed64 qpcStart, Fixed64 qpcStop,
                                           Fixed64 qpcFrequency, Fixed64 tscStart,
                                           Fixed64 tscStop) {
    if (qpcFrequency.raw <= 0) return std::nullopt;
    auto ticks = CheckedDifference(qpcStop, qpcStart);
    auto counts = CheckedDifference(tscStop, tscStart);
    if (!ticks || ticks->raw <= 0 || !counts || counts->raw < 0) return std::nullopt;
    // The raw difference read as fixed point is cycles / 10,000; scaling it
    // by 10,000 makes the fixed-point value the number of cycles.
    auto cycles = CheckedProduct(*counts, Fixed64::kScale);
    if (!cycles) return std::nullopt;
    // Both operands carry the same scale, so this is ticks / ticks-per-second.
    double seconds = ticks->Value() / qpcFrequency.Value();
    return BenchFigures{seconds, *cycles};
}

Fixed64 PerformanceCounterFrequency() {
    LARGE_INTEGER frequency{};
    if (!::QueryPerformanceFrequency(&frequency)) return {};
    return Fixed64{frequency.QuadPart};
}

Fixed64 PerformanceCounterNow() {
    LARGE_INTEGER now{};
    if (!::QueryPerformanceCounter(&now)) return {};
    return Fixed64{now.QuadPart};
}
