#include "app/start_up_policy.h"

#include "app/program_arguments.h"
#include "checks/os_identification.h"
#include "checks/requirement_checks.h"
#include "checks/setting_numbers.h"
#include "skin/colour.h"

namespace {

// The "bgimage" setting as an index of the backgrounds; empty when it names none.
std::optional<std::size_t> BackgroundIndex(const std::string& setting, std::size_t count) {
    std::optional<double> number = ParseSettingNumber(setting);
    if (!number || *number < -0.5 || *number > 32767.5) return std::nullopt;
    std::int64_t index = RoundHalfEven(*number);
    if (index < 0 || static_cast<std::size_t>(index) >= count) return std::nullopt;
    return static_cast<std::size_t>(index);
}

}  // namespace

PlatformFacts FactsOf(const SystemFacts& system, const std::string& commandLine) {
    PlatformFacts facts;
    facts.osCode = GetOsCode(system);
    facts.isAdministrator = HasAdministratorRights(facts.osCode, system);
    ProgramArguments arguments = ReadArguments(commandLine);
    facts.relaunched = arguments.elevated;
    facts.quietCheck = arguments.quietCheck;
    return facts;
}

LaunchStep DecideLaunch(const PlatformFacts& facts) {
    if (facts.osCode == kOsWin95) return LaunchStep::RefuseWindows95;
    // A script's quiet check must never bring up a User Account Control prompt.
    if (facts.isAdministrator || facts.osCode < kOsVista || facts.quietCheck)
        return LaunchStep::GoOn;
    return facts.relaunched ? LaunchStep::StillNotAdministrator : LaunchStep::Relaunch;
}

std::string Windows95Refusal(const std::string& title) {
    return "Sorry, Windows 95 does not meet the minimum system requirements to run " + title + ".";
}

WindowPlan PlanWindow(const Requirements& requirements, std::size_t backgroundCount) {
    WindowPlan plan;
    // The colours are checked for their format only; nothing is drawn in them.
    if (!ColourFromText(requirements.foreColour) || !ColourFromText(requirements.backColour)) {
        plan.stop = kColourFormatMessage;
        return plan;
    }
    plan.background = BackgroundIndex(requirements.background, backgroundCount);
    plan.failureText = requirements.failureText;
    // An empty or unreadable ShowResults shows the results.
    plan.showResults = ParseBooleanWord(requirements.showResults).value_or(true);
    return plan;
}
