#include "setup/install_script.h"

#include "checks/os_identification.h"
#include "setup/file_manip.h"
#include "setup/setup_file.h"

#ifndef TSCHECK_DOWNLOAD_HOST
#define TSCHECK_DOWNLOAD_HOST "download.tavrin.example"
#endif

namespace {
constexpr char kSetupPath[] = "/TavrinCA/tavrinsecure/tavrinsecure.exe";
constexpr char kSetupFileName[] = "tavrinsecure.exe";
}  // namespace

std::string SetupDownloadUrl() { return std::string("http://") + TSCHECK_DOWNLOAD_HOST + kSetupPath; }

InstallScript::InstallScript(InstallHost& host, std::string tempFolder, std::string url,
                             std::string pinnedSha256, std::string pinnedSigner,
                             const SignatureApi* signatures)
    : host_(host),
      tempFolder_(std::move(tempFolder)),
      url_(std::move(url)),
      pinnedSha256_(std::move(pinnedSha256)),
      pinnedSigner_(std::move(pinnedSigner)),
      signatures_(signatures) {}

InstallScript::~InstallScript() = default;

bool InstallScript::RunInstallScript() {
    host_.HideRunButton();
    host_.DrawStatus("Status: Downloading the setup file\r\nTo cancel, click the X in the top right.",
                     kStatusColour, true, false);
    host_.RedrawResults();
    StartSetupDownload();
    return keepsWindowOpen_;
}

void InstallScript::StartSetupDownload() {
    if (tempFolder_.empty()) {
        // Saved relative to the current folder, the file started elevated
        // could be one that somebody else put there.
        host_.ShowMessage(kNoTempFolderMessage);
        return;
    }
    host_.EnableTimeoutTimer(true);
    stallCounter_ = 1;
    lastBytesRead_ = 0;
    keepsWindowOpen_ = true;
    // The setup runs elevated: it is written into a folder of this run's
    // own, never to a fixed path in the shared temporary folder.
    PrivateFolder folder = host_.MakePrivateFolder(tempFolder_);
    if (folder.path.empty()) {
        FileMissing();
        return;
    }
    setupFile_ = std::make_shared<SetupFile>(folder.path, kSetupFileName, kMaxSetupBytes,
                                             pinnedSha256_, pinnedSigner_, signatures_,
                                             std::move(folder.lock));
    setupFilePath_ = setupFile_->Path();
    host_.ShowProgressBar(true);
    host_.BeginDownload(url_, setupFile_, setupFilePath_);
}

void InstallScript::OnDownloadProgress(std::int32_t bytesRead, std::int32_t bytesExpected) {
    if (abandoned_ || timedOut_) return;
    host_.SetProgress(bytesExpected, bytesRead,
                      FormatMegabytes(bytesRead) + " of " + FormatMegabytes(bytesExpected));
    OnBytesReceived(bytesRead);
}

void InstallScript::OnBytesReceived(std::int64_t bytesRead) {
    if (abandoned_ || timedOut_) return;
    if (static_cast<double>(bytesRead) > lastBytesRead_) stallCounter_ = 1;
    lastBytesRead_ = static_cast<double>(bytesRead);
}

void InstallScript::OnTimerTick() {
    if (abandoned_) return;
    // After a time-out the counter rests at its limit: no wrap, no second message.
    if (stallCounter_ >= kTimeoutTicks) return;
    ++stallCounter_;
    if (stallCounter_ == kTimeoutTicks) {
        // The time-out is final before the box shows: data that arrives
        // while it is up must not complete the download and start the setup.
        host_.CancelAllDownload();
        setupFile_.reset();
        timedOut_ = true;
        host_.ShowMessage("Download timed out. Please check your connection settings and try again.");
        host_.ShowProgressBar(false);
    }
}

void InstallScript::OnDownloadComplete() {
    if (abandoned_ || timedOut_) return;
    host_.EnableTimeoutTimer(false);
    stallCounter_ = 1;
    host_.ShowProgressBar(false);
    if (RunDownloadedSetup()) {
        host_.UnloadWindow();
        return;
    }
    ShowDownloadFailed();
}

void InstallScript::OnDownloadError() {
    if (abandoned_ || timedOut_) return;
    bool fileFailed = setupFile_ && setupFile_->Answered();
    if (setupFile_) signerCheck_ = setupFile_->Signer();
    setupFile_.reset();
    // Nothing arrives any more, so the stall time-out tells the user.
    if (fileFailed) FileMissing();
}

void InstallScript::FileMissing() {
    host_.EnableTimeoutTimer(false);
    stallCounter_ = 1;
    host_.ShowProgressBar(false);
    ShowDownloadFailed();
    if (signerCheck_.outcome == SignerCheck::Outcome::Unavailable)
        host_.ShowMessage(kCannotVerifyMessage);
}

void InstallScript::Abandon() {
    if (abandoned_) return;
    abandoned_ = true;
    host_.EnableTimeoutTimer(false);
    host_.CancelAllDownload();
    setupFile_.reset();
}

void InstallScript::ShowDownloadFailed() {
    host_.DrawStatus("There was an error downloading the Tavrin Secure setup file.", kErrorColour,
                     true, true);
    host_.RedrawResults();
}

bool InstallScript::RunDownloadedSetup() {
    int code = host_.CurrentOsCode();
    // Only a complete, whole program, still locked against change, starts.
    std::shared_ptr<SetupFile> file = std::move(setupFile_);
    if (file) signerCheck_ = file->Signer();
    if (!file || !file->IsVerified()) return false;
    std::string folder = setupFilePath_.substr(0, setupFilePath_.find_last_of('\\') + 1);
    host_.StartProgram(setupFilePath_, IsVista(code), folder);
    file->Release();
    return true;
}

