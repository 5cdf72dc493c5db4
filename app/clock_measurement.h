// The processor clock as the processor check measures it.
#pragma once

#include <memory>

#include "checks/requirement_checks.h"
#include "cpu/cpu_info.h"

// The program-wide processor-information object, created at start-up and
// replaced by every measurement.
extern std::unique_ptr<cCpuInfo> ProcessorInfo;

// A fresh cCpuInfo, then 20,001 rounds of window-event processing between
// BenchStart and BenchStop.
ClockReading MeasureProcessorClock();
