// The processor clock as the processor check measures it.
#pragma once

#include "checks/check_run.h"
#include "checks/requirement_checks.h"

// A fresh cCpuInfo for the run, then 20,001 rounds of window-event
// processing between BenchStart and BenchStop.
ClockReading MeasureProcessorClock(CheckRun& run);
