// The requirement checks wired to this computer.
#pragma once

#include "checks/requirement_checks.h"

CheckPlatform CheckPlatformOfThisComputer();
