// The road of one run without a window: the operating-system code, the
// relaunch decision, the settings, the requirements, the five checks, the
// verdict and the hand-over to Run Setup, then the unload rule. It reports
// to a StartUpView and takes the computer's facts from its owner, so that a
// test can drive a whole run.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/program_arguments.h"
#include "app/start_up_view.h"
#include "checks/check_run.h"
#include "checks/requirement_checks.h"
#include "platform/run_stages.h"
#include "platform/system_error.h"
#include "platform/system_facts.h"

class RunSetupEngine;

// What the start-up takes from the computer, each fact named by its owner.
struct StartUpFacts {
    const SystemFacts* system = nullptr;
    std::string commandLine;    // as GetCommandLine gives it
    ProgramArguments arguments;
    std::string logPath;        // the run log's full path; empty when there is none
    std::string programFolder;  // ending in "\"; empty when the ANSI calls cannot use it
    // Starts this program again with administrator rights and `parameters`.
    std::function<SystemResult(const std::string& parameters)> relaunchElevated;
    std::function<ClockReading()> measureClock;
    std::function<std::string()> programFilesFolder;
    // The engine of Run Setup for this run, made at the first Run Setup.
    std::function<std::unique_ptr<RunSetupEngine>(const CheckRun& run)> makeRunSetup;
};

class StartUpEngine {
public:
    StartUpEngine(StartUpView& view, StartUpFacts facts);
    ~StartUpEngine();
    StartUpEngine(const StartUpEngine&) = delete;
    StartUpEngine& operator=(const StartUpEngine&) = delete;

    // The start-up sequence. The early ends (Windows 95, elevation, stopping
    // settings) return with the end asked for; so does a pass that runs the
    // setup at once and ends.
    void Run();
    // The Run Setup button, once: a run either ends the program or leaves
    // the window to its download.
    void RunSetup();
    // The unload rule: the settings file goes, and a verdict ends the program.
    void Unload();

    const CheckRun& run() const { return run_; }

private:
    enum class Stage { Loading, SetupStarted, Unloaded };

    // The system code and the launch decision; false when this copy ends
    // here (Windows 95, the relaunch, still no rights).
    bool MayGoOn();
    // The button and the message of the verdict, or the setup at once for
    // a pass that shows no results; then the rows.
    void ShowVerdict(bool passed, bool showResults);
    void ReportRefusedLog();
    void Relaunch();
    // False when the settings file leaves no way on (the end is asked for).
    bool OpenTheSettings();
    void FindSettings();
    // Ends the run without a verdict after `message`.
    void Stop(const std::string& message, EndReason reason);

    StartUpView& view_;
    StartUpFacts facts_;
    CheckRun run_;
    std::unique_ptr<RunSetupEngine> runSetup_;  // from the first Run Setup on
    RunStages<Stage> stages_{Stage::Loading};
};
