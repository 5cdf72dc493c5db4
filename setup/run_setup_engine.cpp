#include "setup/run_setup_engine.h"

#include "platform/run_log.h"
#include "setup/command_runner.h"

namespace {

std::string Seconds(std::uint32_t milliseconds) {
    return std::to_string(milliseconds / 1000) + "." + std::to_string(milliseconds % 1000 / 100) +
           " s";
}

}  // namespace

RunSetupEngine::RunSetupEngine(RunSetupView& view, const CheckRun& run, RunSetupFacts facts)
    : view_(view),
      run_(run),
      installFacts_(std::move(facts.install)),
      downloader_(std::move(facts.downloadStartError), facts.network),
      stallTicker_(facts.stallTickMs, [this] { OnStallTick(); }) {
    downloader_.OnDownloadProgress = [this](std::int64_t read, std::int64_t expected,
                                            const std::string&) {
        downloadExpected_ = expected;
        if (install_) install_->OnDownloadProgress(read, expected);
    };
    downloader_.OnBytesReceived = [this](std::int64_t read, const std::string&) {
        downloadRead_ = read;
        if (install_) install_->OnBytesReceived(read);
    };
    downloader_.OnDownloadComplete = [this](std::int64_t, const std::string&) {
        LogDownloadEnd(true);
        if (install_) install_->OnDownloadComplete();
    };
    downloader_.OnDownloadError = [this](const std::string&) {
        LogDownloadEnd(false);
        if (install_) install_->OnDownloadError();
    };
}

RunSetupEngine::~RunSetupEngine() = default;

void RunSetupEngine::Run() {
    if (!stages_.Enter(Stage::Running)) return;
    RunSetupCommands(view_, run_, [this] { return StartInstallScript(); });
}

bool RunSetupEngine::StartInstallScript() {
    InstallTransfer transfer{
        [this](const std::string& url, std::shared_ptr<DownloadTarget> target,
               const std::string& saveFile) { BeginDownload(url, std::move(target), saveFile); },
        [this] { downloader_.CancelAllDownload(); },
        [this](bool enabled) { stallTicker_.Enable(enabled); }};
    install_ = std::make_unique<InstallScript>(view_, installFacts_, std::move(transfer));
    return install_->RunInstallScript();
}

void RunSetupEngine::Abandon() {
    // Closing lets window events run: a download completion already queued
    // must find its download gone, or closing in the last second would
    // still start the setup.
    if (!stages_.Enter(Stage::Abandoned)) return;
    if (install_) install_->Abandon();
    stallTicker_.Enable(false);
    downloader_.CancelAllDownload();
}

void RunSetupEngine::OnStallTick() {
    if (install_) install_->OnTimerTick();
}

void RunSetupEngine::BeginDownload(const std::string& url, std::shared_ptr<DownloadTarget> target,
                                   const std::string& saveFile) {
    LogLine({"Download: ", url, " into ", saveFile});
    downloadStart_ = ::GetTickCount();
    downloadRead_ = downloadExpected_ = 0;
    downloader_.BeginDownload(url, std::move(target), saveFile);
}

void RunSetupEngine::LogDownloadEnd(bool whole) {
    LogLine({whole ? "Download complete: " : "Download failed: ", std::to_string(downloadRead_),
             " of ", downloadExpected_ > 0 ? std::to_string(downloadExpected_) : "unknown",
             " bytes, ", Seconds(::GetTickCount() - downloadStart_)});
}
