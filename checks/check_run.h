// What one run of the program knows: its settings, the system's code, the
// result of each check as a row, and the verdict.
// The start-up engine owns the run and hands it to the checks, the results
// display and Run Setup.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "checks/os_identification.h"
#include "checks/settings.h"

enum CheckOutcome : std::int16_t {
    kCheckPassed = 1,
    kCheckFailed = 2,
    kCheckPassedWarning = 4,
};

// One row of the results: which test, its outcome, and the texts shown
// for what is needed and what the computer has.
struct CheckRow {
    std::string test;
    CheckOutcome verdict = kCheckFailed;
    std::string need;
    std::string have;
};

struct CheckRun {
    SettingsFile settings;
    int osCode = kOsUnknown;
    std::vector<CheckRow> rows;
    std::string failureText;   // the Err setting, extended by the OS check
    std::optional<bool> verdict;  // set once the checks have run

    bool Passed() const { return verdict.value_or(false); }
};
