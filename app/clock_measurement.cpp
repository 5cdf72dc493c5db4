#include "app/clock_measurement.h"

#include "cpu/cpu_info.h"
#include "platform/message_pump.h"

ClockReading MeasureProcessorClock() {
    cCpuInfo processor;
    processor.BenchStart();
    for (int pass = 0; pass <= 20000; ++pass) ProcessPendingEvents();
    double seconds = 0;
    Fixed64 cycles{};
    ClockReading reading;
    reading.ok = processor.BenchStop(seconds, cycles);
    reading.seconds = seconds;
    reading.cycles = cycles.Value();
    reading.logicalCount = processor.CpuLogicalCount().value_or(0);
    return reading;
}
