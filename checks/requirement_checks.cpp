#include "checks/requirement_checks.h"

#include <cmath>

#include "checks/os_identification.h"
#include "checks/settings.h"
#include "platform/locale_format.h"

namespace {

constexpr std::int64_t kInt16Min = -32768, kInt16Max = 32767;

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

bool RunAllChecks(CheckRun& run, const CheckPlatform& platform) {
    run.rows.clear();
    run.verdict.reset();
    bool verdict = true;
    if (!CheckOperatingSystem(run, platform)) verdict = false;
    if (CheckAdmin(run, platform) != kCheckPassed) verdict = false;
    if (CheckCpuSpeed(run, platform) == kCheckFailed) verdict = false;
    if (CheckMemory(run, platform) == kCheckFailed) verdict = false;
    if (CheckDiskSpace(run, platform) == kCheckFailed) verdict = false;
    run.verdict = verdict;
    return verdict;
}

bool CheckOperatingSystem(CheckRun& run, const CheckPlatform& platform) {
    const SystemFacts& system = platform.system;
    const SettingsFile& settings = run.settings;
    const int osCode = run.osCode;
    const int minOsCode = static_cast<int>(ReadWholeSetting(settings, "MinOS"));

    std::string haveText = ServicePackText(false, system);
    std::int64_t haveSp = 0;
    if (!haveText.empty()) haveSp = RoundHalfEven(ParseSettingNumber(haveText).value_or(0));

    std::int64_t needSp = 0;
    if (osCode == kOsWinXP) needSp = ReadWholeSetting(settings, "XPSP", kInt16Min, kInt16Max);
    else if (IsVista(osCode))
        needSp = ReadWholeSetting(settings, "VistaSP", kInt16Min, kInt16Max);
    else if (osCode == kOsWin7 || osCode == kOsWin7x64)
        needSp = ReadWholeSetting(settings, "Win7SP", kInt16Min, kInt16Max);

    std::string needSuffix = ServicePackSuffix(needSp);
    std::string haveSuffix = ServicePackSuffix(haveSp);
    std::string minName = OsName(minOsCode, system);
    std::string ownName = OsName(osCode, system);
    const char* test = "Operating System";

    std::string exceptions = settings.ReadRequirement("ExceptionOS");
    std::optional<bool> excepted = ListHoldsCode(exceptions, osCode);
    if (!excepted) throw SettingsStop(NotANumberMessage("ExceptionOS", exceptions));
    if (*excepted) {
        AddRow(run, test, kCheckFailed, minName + "+", ownName);
        run.failureText += "\r\nYour operating system may be newer than the Minimum OS, "
                           "but the product does not support it.";
        return false;
    }
    if (osCode == kOsServer || osCode == kOsNT4 || osCode == kOsWin2003) {
        AddRow(run, test, kCheckFailed, minName + needSuffix + "+", ownName + "(Server)");
        return false;
    }
    if (osCode < minOsCode) {
        AddRow(run, test, kCheckFailed, minName + needSuffix + "+", ownName + haveSuffix);
        return false;
    }
    if (haveSp < needSp) {
        AddRow(run, test, kCheckFailed, ownName + needSuffix + "+", ownName + haveSuffix);
        return false;
    }
    AddRow(run, test, kCheckPassed, ownName + needSuffix + "+", ownName + haveSuffix);
    return true;
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

CheckOutcome CheckCpuSpeed(CheckRun& run, const CheckPlatform& platform) {
    bool vistaOrLater = run.osCode >= kOsVista;
    const char* minKey = vistaOrLater ? "MinCPUSpeedVista" : "MinCPUSpeed";
    const char* warnKey = vistaOrLater ? "WarnCPUSpeedVista" : "WarnCPUSpeed";

    ClockReading reading = platform.measureClock();
    double min = ReadNumberSetting(run.settings, minKey);
    double mhz = 0;
    if (reading.ok && reading.seconds > 0) mhz = reading.cycles / reading.seconds / 1000000.0;
    if (reading.logicalCount > 1) mhz *= reading.logicalCount;

    std::string need = FormatClock(min);
    std::string have = FormatClock(mhz);
    // Whole megahertz, compared in 64 bits: many logical processors at a high
    // clock go far beyond 16 bits and must still compare and show as they are.
    std::int64_t roundedMhz = RoundHalfEven(mhz);
    std::int64_t roundedMin = RoundHalfEven(min);
    if (roundedMhz > roundedMin) {
        std::int64_t warn = ReadWholeSetting(run.settings, warnKey);
        CheckOutcome outcome = roundedMhz <= warn ? kCheckPassedWarning : kCheckPassed;
        AddRow(run, "CPU", outcome, need, have);
        return outcome;
    }
    AddRow(run, "CPU", kCheckFailed, need, have);
    return kCheckFailed;
}

namespace {
// A system the settings have no memory keys for needs more than any computer
// of its time had: it cannot pass unnoticed.
constexpr std::int64_t kUnknownOsMinMemory = 5000;
constexpr std::int64_t kUnknownOsWarnMemory = 10000;
}  // namespace

CheckOutcome CheckMemory(CheckRun& run, const CheckPlatform& platform) {
    const SettingsFile& settings = run.settings;
    std::int64_t memory;
    if (run.osCode >= kOsWin2000) {
        memory = RoundHalfEven(platform.system.PhysicalMemoryBytes(true) / 1048576.0 + 1);
    } else {
        memory = RoundHalfEven(platform.system.PhysicalMemoryBytes(false) / 1024.0 / 1024.0);
    }

    const char* minKey = nullptr;
    const char* warnKey = nullptr;
    switch (run.osCode) {
        case kOsWin95: minKey = "MinMemory95"; warnKey = "WarnMemory95"; break;
        case kOsWin98: case kOsWinME: minKey = "MinMemory98me"; warnKey = "WarnMemory98me"; break;
        case kOsWin2000: case kOsWinXP: case kOsWinXPx64:
            minKey = "MinMemoryxp2k"; warnKey = "WarnMemoryxp2k"; break;
        case kOsVista: case kOsVistax64: case kOsWin7: case kOsWin7x64:
            minKey = "MinMemoryVista"; warnKey = "WarnMemoryVista"; break;
        default: break;
    }
    // Both keys must hold a value, even when the memory never reaches the
    // warning.
    if (minKey && (settings.ReadRequirement(minKey).empty() ||
                   settings.ReadRequirement(warnKey).empty()))
        throw SettingsStop(kCorruptSettingsMessage);
    std::int64_t min = minKey ? ReadWholeSetting(settings, minKey) : kUnknownOsMinMemory;

    std::string need = FormatSize(static_cast<double>(min));
    std::string have = FormatSize(static_cast<double>(memory));
    if (memory >= min) {
        std::int64_t warn = warnKey ? ReadWholeSetting(settings, warnKey) : kUnknownOsWarnMemory;
        CheckOutcome outcome = memory > warn ? kCheckPassed : kCheckPassedWarning;
        AddRow(run, "Memory", outcome, need, have);
        return outcome;
    }
    AddRow(run, "Memory", kCheckFailed, need, have);
    return kCheckFailed;
}

std::optional<double> FreeDiskMegabytes(const std::string& path, const SystemFacts& system) {
    auto space = system.DiskSpaceOf(path);
    if (!space) return std::nullopt;
    return static_cast<double>(space->freeBytes) / 1048576.0;
}

CheckOutcome CheckDiskSpace(CheckRun& run, const CheckPlatform& platform) {
    bool vistaOrLater = run.osCode >= kOsVista;
    const char* minKey = vistaOrLater ? "MinDiskSpaceVista" : "MinDiskSpace";
    const char* warnKey = vistaOrLater ? "WarnDiskSpaceVista" : "WarnDiskSpace";

    std::string folder = platform.programFilesFolder();
    std::string drive = folder.substr(0, folder.find(':')) + ":";
    double free = FreeDiskMegabytes(drive, platform.system).value_or(0);
    std::string have = FormatSize(free);

    // This check goes on past a value it cannot read: the message names the
    // key, and the row still gets its record. An unreadable minimum fails and
    // an unreadable warning level warns, so nothing passes unread.
    std::string minText = run.settings.ReadRequirement(minKey);
    auto min = ParseBoundedNumber(minText);
    if (!min) {
        platform.reportSettingProblem(NotANumberMessage(minKey, minText));
        AddRow(run, "Disk Space", kCheckFailed, minText, have);
        return kCheckFailed;
    }
    std::string need = FormatSize(*min);
    if (free <= *min) {
        AddRow(run, "Disk Space", kCheckFailed, need, have);
        return kCheckFailed;
    }
    std::string warnText = run.settings.ReadRequirement(warnKey);
    auto warn = ParseBoundedNumber(warnText);
    if (!warn) platform.reportSettingProblem(NotANumberMessage(warnKey, warnText));
    CheckOutcome outcome = (!warn || free <= *warn) ? kCheckPassedWarning : kCheckPassed;
    AddRow(run, "Disk Space", outcome, need, have);
    return outcome;
}
