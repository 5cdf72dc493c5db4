#include "checks/requirement_checks.h"

#include <cmath>

#include "checks/os_identification.h"
#include "checks/setting_numbers.h"
#include "platform/locale_format.h"

namespace {

void AddRow(CheckRun& run, const char* test, CheckOutcome outcome, const std::string& need,
            const std::string& have) {
    run.rows.push_back(CheckRow{test, outcome, need, have});
}

std::string ServicePackSuffix(std::int64_t servicePack) {
    return servicePack != 0 ? " SP" + std::to_string(servicePack) : std::string();
}

}  // namespace

std::string FormatSize(double megabytes) {
    if (megabytes < 1024) return FormatLocaleNumber(megabytes, 0, false) + " MB";
    return FormatLocaleNumber(megabytes / 1024, 2, false) + " GB";
}

std::string FormatClock(double megahertz) {
    if (megahertz < 1024) return FormatLocaleNumber(megahertz, 0, false) + " MHz";
    return FormatLocaleNumber(megahertz / 1000, 2, false) + " GHz";
}

CheckVerdict RunAllChecks(CheckRun& run, const Requirements& requirements,
                          const CheckPlatform& platform) {
    run.rows.clear();
    run.verdict.reset();
    bool verdict = true;
    CheckStep os = CheckOperatingSystem(run, requirements, platform);
    if (os.stop) return {false, std::move(os.stop)};
    if (os.outcome != kCheckPassed) verdict = false;
    if (CheckAdmin(run, platform) != kCheckPassed) verdict = false;
    for (auto check : {CheckCpuSpeed, CheckMemory}) {
        CheckStep step = check(run, requirements, platform);
        if (step.stop) return {false, std::move(step.stop)};
        if (step.outcome == kCheckFailed) verdict = false;
    }
    if (CheckDiskSpace(run, requirements, platform) == kCheckFailed) verdict = false;
    run.verdict = verdict;
    return {verdict, std::nullopt};
}

CheckStep CheckOperatingSystem(CheckRun& run, const Requirements& requirements,
                               const CheckPlatform& platform) {
    const SystemFacts& system = platform.system;
    const int osCode = run.osCode;
    if (!requirements.minOs.value) return {kCheckFailed, requirements.minOs.NotANumber()};
    const int minOsCode = static_cast<int>(*requirements.minOs.value);

    std::string haveText = ServicePackText(false, system);
    std::int64_t haveSp = 0;
    if (!haveText.empty()) haveSp = RoundHalfEven(ParseSettingNumber(haveText).value_or(0));

    std::int64_t needSp = 0;
    if (const std::optional<WholeRequirement>& key = requirements.servicePack) {
        if (!key->value) return {kCheckFailed, key->NotANumber()};
        needSp = *key->value;
    }

    std::string needSuffix = ServicePackSuffix(needSp);
    std::string haveSuffix = ServicePackSuffix(haveSp);
    std::string minName = OsName(minOsCode, system);
    std::string ownName = OsName(osCode, system);
    const char* test = "Operating System";

    if (!requirements.excepted)
        return {kCheckFailed,
                SettingsStop{NotANumberMessage("ExceptionOS", requirements.exceptionOs)}};
    CheckOutcome outcome = kCheckFailed;
    if (*requirements.excepted) {
        AddRow(run, test, kCheckFailed, minName + "+", ownName);
        run.failureText += "\r\nYour operating system may be newer than the Minimum OS, "
                           "but the product does not support it.";
    } else if (osCode == kOsServer || osCode == kOsNT4 || osCode == kOsWin2003) {
        AddRow(run, test, kCheckFailed, minName + needSuffix + "+", ownName + "(Server)");
    } else if (osCode < minOsCode) {
        AddRow(run, test, kCheckFailed, minName + needSuffix + "+", ownName + haveSuffix);
    } else if (haveSp < needSp) {
        AddRow(run, test, kCheckFailed, ownName + needSuffix + "+", ownName + haveSuffix);
    } else {
        outcome = kCheckPassed;
        AddRow(run, test, kCheckPassed, ownName + needSuffix + "+", ownName + haveSuffix);
    }
    return {outcome, std::nullopt};
}

bool HasAdministratorRights(int osCode, const SystemFacts& system) {
    return osCode == kOsWin95 || osCode == kOsWin98 || osCode == kOsWinME ||
           system.IsNTAdmin() == 1;
}

CheckOutcome CheckAdmin(CheckRun& run, const CheckPlatform& platform) {
    if (HasAdministratorRights(run.osCode, platform.system)) {
        AddRow(run, "Admin Rights", kCheckPassed, "Yes", "Yes");
        return kCheckPassed;
    }
    AddRow(run, "Admin Rights", kCheckFailed, "Yes", "No");
    return kCheckFailed;
}

CheckStep CheckCpuSpeed(CheckRun& run, const Requirements& requirements,
                        const CheckPlatform& platform) {
    ClockReading reading = platform.measureClock();
    if (!requirements.minCpu.value) return {kCheckFailed, requirements.minCpu.NotANumber()};
    double min = *requirements.minCpu.value;
    double mhz = 0;
    if (reading.ok && reading.seconds > 0) mhz = reading.cycles / reading.seconds / 1000000.0;
    if (reading.logicalCount > 1) mhz *= reading.logicalCount;

    std::string need = FormatClock(min);
    std::string have = FormatClock(mhz);
    // Whole megahertz, compared in 64 bits: many logical processors at a high
    // clock go far beyond 16 bits and must still compare and show as they are.
    std::int64_t roundedMhz = RoundHalfEven(mhz);
    std::int64_t roundedMin = RoundHalfEven(min);
    if (roundedMhz <= roundedMin) {
        AddRow(run, "CPU", kCheckFailed, need, have);
        return {kCheckFailed, std::nullopt};
    }
    const WholeRequirement& warn = requirements.warnCpu;
    if (!warn.value) return {kCheckFailed, warn.NotANumber()};
    CheckOutcome outcome = roundedMhz <= *warn.value ? kCheckPassedWarning : kCheckPassed;
    AddRow(run, "CPU", outcome, need, have);
    return {outcome, std::nullopt};
}

namespace {
// A system the settings have no memory keys for needs more than any computer
// of its time had: it cannot pass unnoticed.
constexpr std::int64_t kUnknownOsMinMemory = 5000;
constexpr std::int64_t kUnknownOsWarnMemory = 10000;
}  // namespace

CheckStep CheckMemory(CheckRun& run, const Requirements& requirements,
                      const CheckPlatform& platform) {
    std::int64_t memory;
    if (run.osCode >= kOsWin2000) {
        memory = RoundHalfEven(platform.system.PhysicalMemoryBytes(true) / 1048576.0 + 1);
    } else {
        memory = RoundHalfEven(platform.system.PhysicalMemoryBytes(false) / 1024.0 / 1024.0);
    }

    const std::optional<Requirements::Memory>& keys = requirements.memory;
    // Both keys must hold a value, even when the memory never reaches the
    // warning.
    if (keys && (keys->min.text.empty() || keys->warn.text.empty()))
        return {kCheckFailed, SettingsStop{kCorruptSettingsMessage}};
    if (keys && !keys->min.value) return {kCheckFailed, keys->min.NotANumber()};
    std::int64_t min = keys ? *keys->min.value : kUnknownOsMinMemory;

    std::string need = FormatSize(static_cast<double>(min));
    std::string have = FormatSize(static_cast<double>(memory));
    if (memory < min) {
        AddRow(run, "Memory", kCheckFailed, need, have);
        return {kCheckFailed, std::nullopt};
    }
    if (keys && !keys->warn.value) return {kCheckFailed, keys->warn.NotANumber()};
    std::int64_t warn = keys ? *keys->warn.value : kUnknownOsWarnMemory;
    CheckOutcome outcome = memory > warn ? kCheckPassed : kCheckPassedWarning;
    AddRow(run, "Memory", outcome, need, have);
    return {outcome, std::nullopt};
}

std::optional<double> FreeDiskMegabytes(const std::string& path, const SystemFacts& system) {
    auto space = system.DiskSpaceOf(path);
    if (!space) return std::nullopt;
    return static_cast<double>(space->freeBytes) / 1048576.0;
}

CheckOutcome CheckDiskSpace(CheckRun& run, const Requirements& requirements,
                            const CheckPlatform& platform) {
    std::string folder = platform.programFilesFolder();
    std::string drive = folder.substr(0, folder.find(':')) + ":";
    double free = FreeDiskMegabytes(drive, platform.system).value_or(0);
    std::string have = FormatSize(free);

    // This check goes on past a value it cannot read: the message names the
    // key, and the row still gets its record. An unreadable minimum fails and
    // an unreadable warning level warns, so nothing passes unread.
    const NumberRequirement& min = requirements.minDisk;
    if (!min.value) {
        platform.reportSettingProblem(min.NotANumber().message);
        AddRow(run, "Disk Space", kCheckFailed, min.text, have);
        return kCheckFailed;
    }
    std::string need = FormatSize(*min.value);
    if (free <= *min.value) {
        AddRow(run, "Disk Space", kCheckFailed, need, have);
        return kCheckFailed;
    }
    const NumberRequirement& warn = requirements.warnDisk;
    if (!warn.value) platform.reportSettingProblem(warn.NotANumber().message);
    CheckOutcome outcome =
        (!warn.value || free <= *warn.value) ? kCheckPassedWarning : kCheckPassed;
    AddRow(run, "Disk Space", outcome, need, have);
    return outcome;
}
