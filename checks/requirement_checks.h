// The five requirement checks, their result records and the overall verdict.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "checks/check_run.h"
#include "checks/requirements.h"
#include "checks/settings_stop.h"
#include "platform/system_facts.h"

// One measurement of the processor clock over the event-processing interval.
struct ClockReading {
    bool ok = false;          // false when the stopwatch could not measure
    double seconds = 0;
    double cycles = 0;
    int logicalCount = 0;     // logical processors; 0 when unknown
};

// What the checks need from the world besides the requirements.
struct CheckPlatform {
    const SystemFacts& system;
    std::function<ClockReading()> measureClock;
    std::function<std::string()> programFilesFolder;
    // Shows a message about a setting and lets the checks go on.
    std::function<void(const std::string&)> reportSettingProblem;
};

// What a check gives: its outcome, or the stop a requirement it needed led to.
struct CheckStep {
    CheckOutcome outcome = kCheckFailed;
    std::optional<SettingsStop> stop;
};

// The verdict of all five checks: true when every one passed (or warned);
// or the stop that made a verdict impossible.
struct CheckVerdict {
    bool passed = false;
    std::optional<SettingsStop> stop;
};

// Runs the five checks in order, each adding its row to the run, and sets
// the run's verdict; a stop ends the checks where it arose, with no verdict.
CheckVerdict RunAllChecks(CheckRun& run, const Requirements& requirements,
                          const CheckPlatform& platform);

// Windows 95, 98 and ME have no rights to ask about; elsewhere the system
// says whether the user is an administrator.
bool HasAdministratorRights(int osCode, const SystemFacts& system);

// The operating-system check passes or fails; the other four may warn.
CheckStep CheckOperatingSystem(CheckRun& run, const Requirements& requirements,
                               const CheckPlatform& platform);
CheckOutcome CheckAdmin(CheckRun& run, const CheckPlatform& platform);
CheckStep CheckCpuSpeed(CheckRun& run, const Requirements& requirements,
                        const CheckPlatform& platform);
CheckStep CheckMemory(CheckRun& run, const Requirements& requirements,
                      const CheckPlatform& platform);
// Goes on past a value it cannot read (see reportSettingProblem): no stop.
CheckOutcome CheckDiskSpace(CheckRun& run, const Requirements& requirements,
                            const CheckPlatform& platform);

// Megabytes free on the volume of `path`.
std::optional<double> FreeDiskMegabytes(const std::string& path, const SystemFacts& system);

// "#0 MB" below 1024 MB, else "#0.00 GB"; "#####0 MHz" below 1024 MHz, else
// "#0.00 GHz". The decimal separator is the user's.
std::string FormatSize(double megabytes);
std::string FormatClock(double megahertz);
