#include "setup/install_script.h"

#include "checks/os_identification.h"
#include "platform/run_log.h"
#include "system_helpers/file_manip.h"
#include "setup/setup_file.h"

#ifndef TSCHECK_DOWNLOAD_HOST
#define TSCHECK_DOWNLOAD_HOST "download.tavrin.example"
#endif

namespace {
constexpr char kSetupPath[] = "/TavrinCA/tavrinsecure/tavrinsecure.exe";
constexpr char kSetupFileName[] = "tavrinsecure.exe";
}  // namespace

std::string SetupDownloadUrl() { return std::string("http://") + TSCHECK_DOWNLOAD_HOST + kSetupPath; }

InstallScript::InstallScript(RunSetupView& view, InstallFacts facts, InstallTransfer transfer)
    : view_(view), facts_(std::move(facts)), transfer_(std::move(transfer)) {}

InstallScript::~InstallScript() = default;

bool InstallScript::RunInstallScript() {
    view_.HideRunButton();
    view_.ShowStatus(kDownloadingStatus, StatusStyle::Progress);
    view_.RedrawResults();
    StartSetupDownload();
    return KeepsWindowOpen();
}

void InstallScript::StartSetupDownload() {
    if (facts_.tempFolder.empty()) {
        // Saved relative to the current folder, the file started elevated
        // could be one that somebody else put there.
        view_.ShowMessage(kNoTempFolderMessage);
        return;
    }
    transfer_.enableStallTicks(true);
    stallCounter_ = 1;
    lastBytesRead_ = 0;
    stages_.Enter(Stage::Downloading);
    // The setup runs elevated: it is written into a folder of this run's
    // own, never to a fixed path in the shared temporary folder.
    PrivateFolder folder = facts_.makePrivateFolder(facts_.tempFolder);
    if (folder.path.empty()) {
        FileMissing();
        return;
    }
    setupFile_ = std::make_shared<SetupFile>(folder.path, kSetupFileName, kMaxSetupBytes,
                                             facts_.pinnedSha256, facts_.pinnedSigner,
                                             facts_.pinnedSignerKey,
                                             facts_.signatures, std::move(folder.lock));
    setupFilePath_ = setupFile_->Path();
    view_.ShowProgressBar(true);
    transfer_.begin(facts_.url, setupFile_, setupFilePath_);
}

void InstallScript::OnDownloadProgress(std::int64_t bytesRead, std::int64_t bytesExpected) {
    if (stages_.Reached(Stage::TimedOut)) return;
    ShowProgress(bytesExpected, bytesRead,
                 FormatMegabytes(bytesRead) + " of " + FormatMegabytes(bytesExpected));
    OnBytesReceived(bytesRead);
}

void InstallScript::ShowProgress(std::int64_t max, std::int64_t value, const std::string& text) {
    // Repainting the bar for every block that arrives would cost more than
    // the download; the eye needs no more than about 30 pictures a second.
    if (!progressThrottle_.Due(::GetTickCount(), value >= max)) {
        heldProgress_ = HeldProgress{max, value, text};
        return;
    }
    view_.SetProgress(max, value, text);
}

void InstallScript::OnBytesReceived(std::int64_t bytesRead) {
    if (stages_.Reached(Stage::TimedOut)) return;
    if (bytesRead > lastBytesRead_) stallCounter_ = 1;
    lastBytesRead_ = bytesRead;
}

void InstallScript::OnTimerTick() {
    // A change the throttle held back, drawn before the second's other work.
    if (progressThrottle_.TakeHeld())
        ShowProgress(heldProgress_.max, heldProgress_.value, heldProgress_.text);
    if (stages_.Reached(Stage::Abandoned)) return;
    // After a time-out the counter rests at its limit: no wrap, no second message.
    if (stallCounter_ >= kTimeoutTicks) return;
    ++stallCounter_;
    if (stallCounter_ == kTimeoutTicks) {
        // The time-out is final before the box shows: data that arrives
        // while it is up must not complete the download and start the setup.
        stages_.Enter(Stage::TimedOut);
        transfer_.cancelAll();
        setupFile_.reset();
        view_.ShowMessage(kTimedOutMessage);
        view_.ShowProgressBar(false);
    }
}

void InstallScript::OnDownloadComplete() {
    // One arrived file is checked once.
    if (!stages_.Enter(Stage::Verifying)) return;
    transfer_.enableStallTicks(false);
    stallCounter_ = 1;
    view_.ShowProgressBar(false);
    if (!setupFile_) {
        ShowDownloadFailed();
        return;
    }
    // Hashing, reading and WinVerifyTrust take seconds for a large setup on
    // an old processor: they run on a thread of their own while the window
    // answers. Nothing else touches the file meanwhile: the button is gone,
    // the stall ticks are off, and a close (Abandon) cancels the check and
    // waits for it before the file goes. The script keeps the file; the job
    // always goes first (Abandon, the script's end).
    SetupFile* file = setupFile_.get();
    verification_ = std::make_unique<BackgroundJob>(
        [file](const std::atomic<bool>& cancelled) { return file->Verify(cancelled); },
        [this](bool verified) { OnVerified(verified); });
}

void InstallScript::OnVerified(bool verified) {
    if (stages_.Reached(Stage::TimedOut)) return;
    if (verified && RunDownloadedSetup()) {
        view_.UnloadWindow();
        return;
    }
    if (setupFile_) signerCheck_ = setupFile_->Signer();
    setupFile_.reset();
    FileMissing();
}

void InstallScript::OnDownloadError() {
    if (stages_.Reached(Stage::TimedOut)) return;
    bool fileFailed = setupFile_ && setupFile_->Answered();
    if (setupFile_) signerCheck_ = setupFile_->Signer();
    setupFile_.reset();
    // Nothing arrives any more, so the stall time-out tells the user.
    if (fileFailed) FileMissing();
}

void InstallScript::FileMissing() {
    transfer_.enableStallTicks(false);
    stallCounter_ = 1;
    view_.ShowProgressBar(false);
    ShowDownloadFailed();
    if (signerCheck_.outcome == SignerCheck::Outcome::Unavailable)
        view_.ShowMessage(kCannotVerifyMessage);
}

void InstallScript::Abandon() {
    if (!stages_.Enter(Stage::Abandoned)) return;
    transfer_.enableStallTicks(false);
    transfer_.cancelAll();
    // A check still running is cancelled and waited for, so the file is not
    // deleted under it; a finished one is left to the script's end.
    if (Verifying()) verification_.reset();
    setupFile_.reset();
}

void InstallScript::ShowDownloadFailed() {
    view_.ShowStatus(kDownloadFailedStatus, StatusStyle::Error);
    view_.RedrawResults();
}

bool InstallScript::RunDownloadedSetup() {
    // Only a complete, whole program, still locked against change, starts.
    std::shared_ptr<SetupFile> file = std::move(setupFile_);
    if (file) signerCheck_ = file->Signer();
    if (!file || !file->IsVerified()) return false;
    std::string folder = setupFilePath_.substr(0, setupFilePath_.find_last_of('\\') + 1);
    bool started = facts_.startProgram(setupFilePath_, folder, file->LockedHandle());
    LogLine({started ? "Setup started: " : "Setup could not start: ", setupFilePath_});
    // A setup that did not start is discarded with its folder, as a
    // download that failed its checks is.
    if (!started) return false;
    file->Release();
    return true;
}
