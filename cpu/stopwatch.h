// The arithmetic of the clock-speed stopwatch and the performance counter it
// reads beside the time-stamp counter.
#pragma once

#include <optional>

#include "cpu/fixed64.h"

struct BenchFigures {
    // Elapsed seconds, a plain floating-point number.
    double seconds = 0;
    // Elapsed processor cycles as a fixed-point value (stored integer is
    // cycles x 10,000).
    Fixed64 cycles;
};

// The interval between two pairs of readings (raw counts). Empty when the
// figures would be meaningless: a performance-counter frequency that is not
// positive, no elapsed time, a counter that went backwards, or more cycles
// than Fixed64 holds (above 922,337,203,685,477).
std::optional<BenchFigures> BenchFiguresOf(Fixed64 qpcStart, Fixed64 qpcStop,
                                           Fixed64 qpcFrequency, Fixed64 tscStart,
                                           Fixed64 tscStop);

// QueryPerformanceFrequency and QueryPerformanceCounter as raw counts; 0
// when the system has no high-resolution counter.
Fixed64 PerformanceCounterFrequency();
Fixed64 PerformanceCounterNow();
