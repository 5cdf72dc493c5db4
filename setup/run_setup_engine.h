// Run Setup without a window: the command list, the built-in install script,
// the download of the setup program and its stall ticker, reporting to a
// RunSetupView. The main window only shows what it is told.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "checks/check_run.h"
#include "net/downloader.h"
#include "net/wininet_api.h"
#include "platform/interval_ticker.h"
#include "platform/run_stages.h"
#include "setup/install_script.h"
#include "setup/run_setup_view.h"

// What the engine takes from the system, each fact named by its owner.
struct RunSetupFacts {
    InstallFacts install;
    // The network the setup comes over; null when there is no WinINet.
    const WinInetApi* network = nullptr;
    // Tells the user that a download could not start at all.
    Downloader::Notice downloadStartError;
    // How long one second of the stall time-out lasts.
    std::uint32_t stallTickMs = 1000;
};

class RunSetupEngine {
public:
    // `run` (the settings and the verdict) outlives the engine.
    RunSetupEngine(RunSetupView& view, const CheckRun& run, RunSetupFacts facts);
    ~RunSetupEngine();
    RunSetupEngine(const RunSetupEngine&) = delete;
    RunSetupEngine& operator=(const RunSetupEngine&) = delete;

    // Runs the settings' commands (see RunSetupCommands), once. Returns with
    // the end of the program asked for, unless the setup download keeps the
    // window open: its end then finishes the work.
    void Run();
    // The window is closing: the download stops and nothing more starts,
    // not even a Run still to come.
    void Abandon();
    // One second of the stall ticker; the ticker calls it, a test may too.
    void OnStallTick();

private:
    // One way only (see run_stages.h).
    enum class Stage { Ready, Running, Abandoned };

    bool StartInstallScript();
    void BeginDownload(const std::string& url, std::shared_ptr<DownloadTarget> target,
                       const std::string& saveFile);
    void LogDownloadEnd(bool whole);

    RunSetupView& view_;
    const CheckRun& run_;
    InstallFacts installFacts_;
    Downloader downloader_;
    IntervalTicker stallTicker_;
    std::unique_ptr<InstallScript> install_;
    RunStages<Stage> stages_{Stage::Ready};
    // For the log: when the download began and how far it came.
    std::uint32_t downloadStart_ = 0;
    std::int64_t downloadRead_ = 0;
    std::int64_t downloadExpected_ = 0;
};
