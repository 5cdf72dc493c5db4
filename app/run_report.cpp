#include "app/run_report.h"

#include "checks/os_identification.h"
#include "platform/run_log.h"

namespace {

const char* EndReasonText(EndReason reason) {
    switch (reason) {
        case EndReason::Verdict: return "the verdict";
        case EndReason::Windows95Refused: return "Windows 95 is refused";
        case EndReason::Relaunched: return "the copy started with administrator rights carries on";
        case EndReason::StillNotAdministrator:
            return "the copy started with administrator rights still lacks them";
        case EndReason::NoWindow: return "the main window could not be made";
        case EndReason::SettingsStop: return "the settings leave no way on";
        case EndReason::ColourFormat: return "a colour setting is not r,g,b";
        case EndReason::CommandError: return "a setup command could not be run";
        case EndReason::SetupDone: return "Run Setup ran its commands";
        case EndReason::WindowClosed: return "the window closed before a verdict";
    }
    return "unknown";
}

}  // namespace

const char* OutcomeText(CheckOutcome outcome) {
    switch (outcome) {
        case kCheckPassed: return "Passed";
        case kCheckPassedWarning: return "Passed (Warning)";
        case kCheckFailed: return "Failed";
    }
    return "Failed";
}

void LogSystemFacts(const PlatformFacts& facts, const SystemFacts& system) {
    std::optional<bool> wow64 = system.IsWow64();
    LogLine({"System: code ", std::to_string(facts.osCode), ", ", OsName(facts.osCode, system),
             ", service pack ", ServicePackText(false, system), ", WOW64 ",
             wow64 ? (*wow64 ? "yes" : "no") : "unknown", ", administrator ",
             facts.isAdministrator ? "yes" : "no"});
}

void LogCheckResults(const CheckRun& run) {
    for (const CheckRow& row : run.rows)
        LogLine({"Row ", row.test, ": need ", row.need, ", have ", row.have, ", ",
                 OutcomeText(row.verdict)});
    LogLine({"Verdict: ", run.Passed() ? "passed" : "failed"});
}

void LogEnd(const ProgramEnd& end) {
    LogLine(
        {"End: ", EndReasonText(end.reason), ", exit code ", std::to_string(end.exitCode)});
}
