#include "app/clock_measurement.h"

#include "platform/message_pump.h"

std::unique_ptr<cCpuInfo> ProcessorInfo;

ClockReading MeasureProcessorClock() {
    ProcessorInfo.reset();
    ProcessorInfo = std::make_unique<cCpuInfo>();
    ProcessorInfo->BenchStart();
    for (int pass = 0; pass <= 20000; ++pass) ProcessPendingEvents();
    double seconds = 0;
    Fixed64 cycles{};
    ClockReading reading;
    reading.ok = ProcessorInfo->BenchStop(seconds, cycles);
    reading.seconds = seconds;
    reading.cycles = cycles.Value();
    reading.logicalCount = ProcessorInfo->CpuLogicalCount().value_or(0);
    return reading;
}
