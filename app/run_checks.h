// The requirement checks wired to this computer.
#pragma once

#include "checks/requirement_checks.h"

// The run's clock measurements replace its processor object.
CheckPlatform CheckPlatformOfThisComputer(CheckRun& run);
