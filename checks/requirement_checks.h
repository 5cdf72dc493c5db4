// The five requirement checks, their result records and the overall verdict.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "checks/check_run.h"
#include "checks/setting_numbers.h"
#include "platform/system_facts.h"

// One measurement of the processor clock over the event-processing interval.
struct ClockReading {
    bool ok = false;          // false when the stopwatch could not measure
    double seconds = 0;
    double cycles = 0;
    int logicalCount = 0;     // logical processors; 0 when unknown
};

// What the checks need from the world besides the settings file.
struct CheckPlatform {
    const SystemFacts& system;
    std::function<ClockReading()> measureClock;
    std::function<std::string()> programFilesFolder;
    // Shows a message about a setting and lets the checks go on.
    std::function<void(const std::string&)> reportSettingProblem;
};

// Runs the five checks in order, each adding its row to the run, and sets
// the run's verdict: true when every one passed (or warned). Throws
// SettingsStop when the settings make a verdict impossible.
bool RunAllChecks(CheckRun& run, const CheckPlatform& platform);

// Windows 95, 98 and ME have no rights to ask about; elsewhere the system
// says whether the user is an administrator.
bool HasAdministratorRights(int osCode, const SystemFacts& system);

bool CheckOperatingSystem(CheckRun& run, const CheckPlatform& platform);
CheckOutcome CheckAdmin(CheckRun& run, const CheckPlatform& platform);
CheckOutcome CheckCpuSpeed(CheckRun& run, const CheckPlatform& platform);
CheckOutcome CheckMemory(CheckRun& run, const CheckPlatform& platform);
CheckOutcome CheckDiskSpace(CheckRun& run, const CheckPlatform& platform);

// Megabytes free on the volume of `path`.
std::optional<double> FreeDiskMegabytes(const std::string& path, const SystemFacts& system);

// "#0 MB" below 1024 MB, else "#0.00 GB"; "#####0 MHz" below 1024 MHz, else
// "#0.00 GHz". The decimal separator is the user's.
std::string FormatSize(double megabytes);
std::string FormatClock(double megahertz);
