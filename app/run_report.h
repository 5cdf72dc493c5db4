// What the run log records of the run itself: the system, the settings
// file, the rows and the verdict, and why the program ends.
#pragma once

#include <string>

#include "app/start_up_policy.h"
#include "checks/check_run.h"
#include "platform/program_end.h"
#include "platform/system_facts.h"

void LogSystemFacts(const PlatformFacts& facts, const SystemFacts& system);
// One line per row (test, need, have, verdict), then the verdict.
void LogCheckResults(const CheckRun& run);
void LogEnd(const ProgramEnd& end);

// "Passed", "Passed (Warning)" or "Failed".
const char* OutcomeText(CheckOutcome outcome);
