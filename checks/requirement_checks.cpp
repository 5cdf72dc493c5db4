#include "checks/requirement_checks.h"

#include <cmath>
#include <vector>

#include "checks/os_identification.h"
#include "checks/settings.h"
#include "platform/locale_format.h"

std::string CheckResults;
std::string FailureText;
bool ShowResultsSetting = true;
int MinOsCode = 0;

namespace {

constexpr std::int64_t kInt16Min = -32768, kInt16Max = 32767;

const char* VerdictText(CheckOutcome outcome) {
    switch (outcome) {
        case kCheckPassed: return "Passed";
        case kCheckPassedWarning: return "Passed (Warning)";
        default: return "Failed";
    }
}

void AddRecord(const char* name, CheckOutcome outcome, const std::string& need,
               const std::string& have) {
    AddResult(std::string(name) + "^" + VerdictText(outcome) + "^" + need + "^" + have);
}

std::vector<std::string> SplitAtComma(const std::string& text) {
    std::vector<std::string> parts;
    if (text.empty()) return parts;
    for (std::size_t start = 0;;) {
        std::size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos) return parts;
        start = comma + 1;
    }
}

std::string ServicePackSuffix(std::int64_t servicePack) {
    return servicePack != 0 ? " SP" + std::to_string(servicePack) : std::string();
}

}  // namespace

void AddResult(const std::string& record) { CheckResults += record + "\r\n"; }

std::string FormatSize(double megabytes) {
    if (megabytes < 1024) return FormatLocaleNumber(megabytes, 0, false) + " MB";
    return FormatLocaleNumber(megabytes / 1024, 2, false) + " GB";
}

std::string FormatClock(double megahertz) {
    if (megahertz < 1024) return FormatLocaleNumber(megahertz, 0, false) + " MHz";
    return FormatLocaleNumber(megahertz / 1000, 2, false) + " GHz";
}

bool RunAllChecks(const CheckPlatform& platform) {
    CheckResults.clear();
    // An empty or unreadable ShowResults shows the results.
    ShowResultsSetting = ParseBooleanWord(ReadRequirement("ShowResults")).value_or(true);
    bool verdict = true;
    if (!CheckOperatingSystem(platform)) verdict = false;
    if (CheckAdmin(platform) != kCheckPassed) verdict = false;
    CheckOutcome cpu = CheckCpuSpeed(platform);
    if (cpu != kCheckPassed && cpu != kCheckPassedWarning) verdict = false;
    CheckOutcome memory = CheckMemory(platform);
    if (memory != kCheckPassed && memory != kCheckPassedWarning) verdict = false;
    CheckOutcome disk = CheckDiskSpace(platform);
    if (disk != kCheckPassed && disk != kCheckPassedWarning) return false;
    return verdict;
}

bool CheckOperatingSystem(const CheckPlatform& platform) {
    const SystemFacts& system = platform.system;
    MinOsCode = static_cast<int>(ReadWholeSetting("MinOS"));

    std::string haveText = ServicePackText(false, system);
    std::int64_t haveSp = 0;
    if (!haveText.empty()) haveSp = RoundHalfEven(ParseSettingNumber(haveText).value_or(0));

    std::int64_t needSp = 0;
    if (OsCode == kOsWinXP) needSp = ReadWholeSetting("XPSP", kInt16Min, kInt16Max);
    else if (OsCode == kOsVista || OsCode == kOsVistax64)
        needSp = ReadWholeSetting("VistaSP", kInt16Min, kInt16Max);
    else if (OsCode == kOsWin7 || OsCode == kOsWin7x64)
        needSp = ReadWholeSetting("Win7SP", kInt16Min, kInt16Max);

    std::string needSuffix = ServicePackSuffix(needSp);
    std::string haveSuffix = ServicePackSuffix(haveSp);
    std::string minName = OsName(MinOsCode, system);
    std::string ownName = OsName(OsCode, system);

    std::string exceptions = ReadRequirement("ExceptionOS");
    for (const std::string& entry : SplitAtComma(exceptions)) {
        if (entry.find_first_not_of(" \t") == std::string::npos) continue;  // "7," has no third
        auto code = ParseBoundedNumber(entry);
        if (!code) throw SettingsStop(NotANumberMessage("ExceptionOS", exceptions));
        if (*code == OsCode) {
            AddResult("Operating System^Failed^" + minName + "+^" + ownName);
            FailureText += "\r\nYour operating system may be newer than the Minimum OS, but the "
                           "product does not support it.";
            return false;
        }
    }
    if (OsCode == kOsServer || OsCode == kOsNT4 || OsCode == kOsWin2003) {
        AddResult("Operating System^Failed^" + minName + needSuffix + "+^" + ownName + "(Server)");
        return false;
    }
    if (OsCode < MinOsCode) {
        AddResult("Operating System^Failed^" + minName + needSuffix + "+^" + ownName + haveSuffix);
        return false;
    }
    if (haveSp < needSp) {
        AddResult("Operating System^Failed^" + ownName + needSuffix + "+^" + ownName + haveSuffix);
        return false;
    }
    AddResult("Operating System^Passed^" + ownName + needSuffix + "+^" + ownName + haveSuffix);
    return true;
}

CheckOutcome CheckAdmin(const CheckPlatform& platform) {
    if (OsCode == kOsWin95 || OsCode == kOsWin98 || OsCode == kOsWinME ||
        platform.system.IsNTAdmin() == 1) {
        AddResult("Admin Rights^Passed^Yes^Yes");
        return kCheckPassed;
    }
    AddResult("Admin Rights^Failed^Yes^No");
    return kCheckFailed;
}

CheckOutcome CheckCpuSpeed(const CheckPlatform& platform) {
    bool vistaOrLater = OsCode >= kOsVista;
    const char* minKey = vistaOrLater ? "MinCPUSpeedVista" : "MinCPUSpeed";
    const char* warnKey = vistaOrLater ? "WarnCPUSpeedVista" : "WarnCPUSpeed";

    ClockReading reading = platform.measureClock();
    double min = ReadNumberSetting(minKey);
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
        std::int64_t warn = ReadWholeSetting(warnKey);
        CheckOutcome outcome = roundedMhz <= warn ? kCheckPassedWarning : kCheckPassed;
        AddRecord("CPU", outcome, need, have);
        return outcome;
    }
    AddRecord("CPU", kCheckFailed, need, have);
    return kCheckFailed;
}

CheckOutcome CheckMemory(const CheckPlatform& platform) {
    std::int64_t memory;
    if (OsCode >= kOsWin2000) {
        memory = RoundHalfEven(platform.system.PhysicalMemoryBytes(true) / 1048576.0 + 1);
    } else {
        memory = RoundHalfEven(platform.system.PhysicalMemoryBytes(false) / 1024.0 / 1024.0);
    }

    const char* minKey = nullptr;
    const char* warnKey = nullptr;
    switch (OsCode) {
        case kOsWin95: minKey = "MinMemory95"; warnKey = "WarnMemory95"; break;
        case kOsWin98: case kOsWinME: minKey = "MinMemory98me"; warnKey = "WarnMemory98me"; break;
        case kOsWin2000: case kOsWinXP: case kOsWinXPx64:
            minKey = "MinMemoryxp2k"; warnKey = "WarnMemoryxp2k"; break;
        case kOsVista: case kOsVistax64: case kOsWin7: case kOsWin7x64:
            minKey = "MinMemoryVista"; warnKey = "WarnMemoryVista"; break;
        default: break;
    }
    std::string minText = minKey ? ReadRequirement(minKey) : "5000";
    std::string warnText = warnKey ? ReadRequirement(warnKey) : "10000";
    if (minText.empty() || warnText.empty()) throw SettingsStop(kCorruptSettingsMessage);
    std::int64_t min = minKey ? ReadWholeSetting(minKey) : 5000;

    std::string need = FormatSize(static_cast<double>(min));
    std::string have = FormatSize(static_cast<double>(memory));
    if (memory >= min) {
        std::int64_t warn = warnKey ? ReadWholeSetting(warnKey) : 10000;
        CheckOutcome outcome = memory > warn ? kCheckPassed : kCheckPassedWarning;
        AddRecord("Memory", outcome, need, have);
        return outcome;
    }
    AddRecord("Memory", kCheckFailed, need, have);
    return kCheckFailed;
}

std::optional<double> FreeDiskMegabytes(const std::string& path, int kind,
                                        const SystemFacts& system) {
    auto space = system.DiskSpaceOf(path);
    if (!space) return std::nullopt;
    if (kind == 0) return static_cast<double>(space->freeBytes) / 1048576.0;
    if (kind == 1) return static_cast<double>(space->totalBytes) / 1048576.0;
    return std::nullopt;
}

CheckOutcome CheckDiskSpace(const CheckPlatform& platform) {
    bool vistaOrLater = OsCode >= kOsVista;
    const char* minKey = vistaOrLater ? "MinDiskSpaceVista" : "MinDiskSpace";
    const char* warnKey = vistaOrLater ? "WarnDiskSpaceVista" : "WarnDiskSpace";

    std::string folder = platform.programFilesFolder();
    std::string drive = folder.substr(0, folder.find(':')) + ":";
    double free = FreeDiskMegabytes(drive, 0, platform.system).value_or(0);
    std::string have = FormatSize(free);

    // This check goes on past a value it cannot read: the message names the
    // key, and the row still gets its record. An unreadable minimum fails and
    // an unreadable warning level warns, so nothing passes unread.
    std::string minText = ReadRequirement(minKey);
    auto min = ParseBoundedNumber(minText);
    if (!min) {
        platform.reportSettingProblem(NotANumberMessage(minKey, minText));
        AddRecord("Disk Space", kCheckFailed, minText, have);
        return kCheckFailed;
    }
    std::string need = FormatSize(*min);
    if (free <= *min) {
        AddRecord("Disk Space", kCheckFailed, need, have);
        return kCheckFailed;
    }
    std::string warnText = ReadRequirement(warnKey);
    auto warn = ParseBoundedNumber(warnText);
    if (!warn) platform.reportSettingProblem(NotANumberMessage(warnKey, warnText));
    CheckOutcome outcome = (!warn || free <= *warn) ? kCheckPassedWarning : kCheckPassed;
    AddRecord("Disk Space", outcome, need, have);
    return outcome;
}
