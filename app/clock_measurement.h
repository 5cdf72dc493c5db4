// The processor clock as the processor check measures it.
#pragma once

#include "checks/requirement_checks.h"

// A fresh processor reading, then 20,001 rounds of window-event processing
// between BenchStart and BenchStop.
ClockReading MeasureProcessorClock();
