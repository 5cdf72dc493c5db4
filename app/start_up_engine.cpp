#include "app/start_up_engine.h"

#include "app/elevation.h"
#include "app/main_window_layout.h"
#include "app/run_report.h"
#include "app/start_up_policy.h"
#include "checks/os_identification.h"
#include "checks/requirements.h"
#include "checks/settings_opening.h"
#include "platform/run_log.h"
#include "setup/run_setup_engine.h"
#include "system_helpers/file_manip.h"

StartUpEngine::StartUpEngine(StartUpView& view, StartUpFacts facts)
    : view_(view), facts_(std::move(facts)) {}

StartUpEngine::~StartUpEngine() = default;

void StartUpEngine::Run() {
    if (!MayGoOn()) return;
    // The quiet check answers through the exit code alone: no window at all.
    const bool quiet = facts_.arguments.quietCheck;
    if (!quiet) {
        if (!view_.CreateWindowAndControls())
            return view_.RequestEnd({kExitNoVerdict, EndReason::NoWindow});
        view_.PrepareMessages();
    }

    if (!OpenTheSettings()) return;
    const SettingsFile& settings = run_.settings;
    Requirements requirements = ReadRequirements(
        [&settings](const std::string& key) { return settings.ReadRequirement(key); },
        run_.osCode);
    WindowPlan plan = PlanWindow(requirements, view_.BackgroundCount());
    if (plan.stop) return Stop(*plan.stop, EndReason::ColourFormat);
    // Old systems cannot cut a window to shape.
    if (!quiet) view_.ApplySkin(plan.background, run_.osCode >= kOsWin2000);
    run_.failureText = plan.failureText;

    CheckPlatform platform{*facts_.system, facts_.measureClock, facts_.programFilesFolder,
                           [this](const std::string& message) { view_.ShowMessage(message); }};
    CheckVerdict verdict = RunAllChecks(run_, requirements, platform);
    if (verdict.stop) return Stop(verdict.stop->message, EndReason::SettingsStop);
    LogCheckResults(run_);
    if (quiet) {
        // Neither commands nor the unload rule: the settings file stays as found.
        return view_.RequestEnd({verdict.passed ? kExitPassed : kExitFailed, EndReason::Verdict});
    }
    ShowVerdict(verdict.passed, plan.showResults);
}

bool StartUpEngine::MayGoOn() {
    ReportRefusedLog();
    PlatformFacts facts = FactsOf(*facts_.system, facts_.commandLine);
    if (RunLogOpen()) LogSystemFacts(facts, *facts_.system);
    run_.osCode = facts.osCode;
    switch (DecideLaunch(facts)) {
        case LaunchStep::RefuseWindows95:
            // No default file is written on this road: a missing file gives
            // an empty title.
            view_.PrepareMessages();
            FindSettings();
            Stop(Windows95Refusal(run_.settings.ReadRequirement("Title")),
                 EndReason::Windows95Refused);
            return false;
        case LaunchStep::Relaunch:
            Relaunch();
            return false;
        case LaunchStep::StillNotAdministrator:
            view_.PrepareMessages();
            Stop(kStillNotAdministratorMessage, EndReason::StillNotAdministrator);
            return false;
        case LaunchStep::GoOn:
            return true;
    }
    return true;
}

void StartUpEngine::ShowVerdict(bool passed, bool showResults) {
    if (!passed) {
        view_.ShowVerdict(false, run_.failureText);
    } else if (!showResults) {
        // Before the window is ever shown; the results follow unless the
        // run has ended meanwhile.
        RunSetup();
        if (view_.Ending()) return;
    } else {
        view_.ShowVerdict(true, kCongratulations);
    }
    view_.ShowResults(run_);
}

void StartUpEngine::Stop(const std::string& message, EndReason reason) {
    view_.ShowMessage(message);
    view_.RequestEnd({kExitNoVerdict, reason});
}

void StartUpEngine::ReportRefusedLog() {
    const ProgramArguments& arguments = facts_.arguments;
    if (!arguments.log || !facts_.logPath.empty() || arguments.quietCheck) return;
    std::string named = arguments.logPath.empty() ? "TSCheck.log in the temporary folder"
                                                  : "\"" + arguments.logPath + "\"";
    view_.ShowMessage("The log file " + named + " cannot be written, so this run keeps no log.");
}

void StartUpEngine::Relaunch() {
    // The elevated copy writes the same log; a log this copy could not open
    // is not handed on, since a copy with administrator rights might open
    // what its user may not.
    std::string parameters = kElevatedMarker;
    if (!facts_.logPath.empty()) parameters += " " + LogArgument(facts_.logPath);
    // This copy ends either way: without the rights it cannot give a
    // verdict, and a user who declined the elevation prompt (or a system
    // that refused it) has chosen that end. The log says which.
    SystemResult started = facts_.relaunchElevated(parameters);
    std::string outcome =
        started ? std::string() : " (the start failed: " + SystemErrorText(started.error) + ")";
    LogLine({"Started again with administrator rights: ", parameters, outcome});
    view_.RequestEnd({kExitNoVerdict, EndReason::Relaunched});
}

bool StartUpEngine::OpenTheSettings() {
    FindSettings();
    SettingsFile& settings = run_.settings;
    SettingsOpening opening = OpenSettings(settings, FileExistenceTest(run_.osCode),
                                           facts_.arguments.quietCheck, *facts_.system);
    switch (opening.source) {
        case SettingsSource::File:
            LogLine({"Settings: ", settings.Path(), " is present"});
            return true;
        case SettingsSource::Unreadable:
            // The provider's requirements are unknown: no verdict can be given.
            LogLine({"Settings: ", settings.Path(), " is unreadable"});
            Stop(kSettingsFileMissingMessage, EndReason::SettingsStop);
            return false;
        case SettingsSource::WrittenDefaults:
            LogLine({"Settings: ", settings.Path(), " written with the defaults"});
            return true;
        case SettingsSource::BuiltInForQuietRun:
            LogLine({"Settings: no pelorin.ini, the built-in defaults serve from memory"});
            return true;
        case SettingsSource::BuiltInUnwritable:
            LogLine({"Settings: the default file cannot be written (",
                     SystemErrorText(opening.written.error), "), the built-in defaults serve"});
            view_.ShowMessage(kSettingsFileMissingMessage);
            return true;
    }
    return true;
}

void StartUpEngine::FindSettings() {
    // Without a usable program folder the settings path would be relative,
    // and the profile read would look in the Windows folder instead: the
    // settings then answer from the default lines.
    run_.settings = SettingsFile(facts_.programFolder);
}

void StartUpEngine::RunSetup() {
    // The run's waits let window events through, and a click arriving then
    // must not start the list again inside the running one.
    if (!stages_.Enter(Stage::SetupStarted)) return;
    view_.ShowRunSetupStarted();
    runSetup_ = facts_.makeRunSetup(run_);
    runSetup_->Run();
    view_.SetBusyPointer(false);
}

void StartUpEngine::Unload() {
    if (!stages_.Enter(Stage::Unloaded)) return;
    // The deletion below lets window events run: the download must be gone
    // before them.
    if (runSetup_) runSetup_->Abandon();
    if (SettingsFilePresent(run_.settings, FileExistenceTest(run_.osCode), *facts_.system))
        DeleteFileOrDefer(run_.settings.Path());
    if (run_.verdict)
        return view_.RequestEnd({*run_.verdict ? kExitPassed : kExitFailed, EndReason::Verdict});
    view_.CloseWindow();
}
