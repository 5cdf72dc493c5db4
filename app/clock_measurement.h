// The processor clock as the processor check measures it.
#pragma once

#include "checks/requirement_checks.h"

ClockReading MeasureProcessorClock();
