// The built-in command "installtavrinsecure": download the Tavrin Secure setup
// program into the temporary folder with progress and a stall time-out, start
// it, and end the program.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "net/download_target.h"
#include "platform/repaint_throttle.h"
#include "platform/background_job.h"
#include "platform/run_stages.h"
#include "setup/private_folder.h"
#include "setup/run_setup_view.h"
#include "setup/setup_signature.h"

class SetupFile;

// The download source: the provider's server and the fixed path.
std::string SetupDownloadUrl();

// What the script knows of the system, each fact handed in by its owner.
struct InstallFacts {
    std::string tempFolder;  // ending in "\"; empty when there is none
    // Starts the downloaded program in `folder`; `verifiedFile` is the
    // handle that holds the checked file locked (see StartVerifiedSetup).
    // False when it did not start.
    std::function<bool(const std::string& path, const std::string& folder, HANDLE verifiedFile)>
        startProgram;
    // A new folder of this run's own inside `parent` (see CreatePrivateFolder).
    std::function<PrivateFolder(const std::string& parent)> makePrivateFolder;
    std::string url;
    // The SHA-256 the setup must have (64 hexadecimal digits), or empty to
    // take any whole program; the SHA-256 thumbprints of the certificates
    // and of the public keys one of which must have signed it, each a list
    // or empty (see SetupFile).
    std::string pinnedSha256;
    std::string pinnedSigner;
    std::string pinnedSignerKey;
    const SignatureApi* signatures = nullptr;  // null: the system's functions
};

// How the script drives the download and the stall ticker it does not own.
struct InstallTransfer {
    std::function<void(const std::string& url, std::shared_ptr<DownloadTarget> target,
                       const std::string& saveFile)>
        begin;
    std::function<void()> cancelAll;
    std::function<void(bool enabled)> enableStallTicks;
};

class InstallScript {
public:
    static constexpr std::int16_t kTimeoutTicks = 20;
    static constexpr char kDownloadingStatus[] =
        "Status: Downloading the setup file\r\nTo cancel, click the X in the top right.";
    static constexpr char kDownloadFailedStatus[] =
        "There was an error downloading the Tavrin Secure setup file.";
    static constexpr char kTimedOutMessage[] =
        "Download timed out. Please check your connection settings and try again.";
    static constexpr char kNoTempFolderMessage[] =
        "The setup file cannot be downloaded: no temporary folder was found.";
    static constexpr char kCannotVerifyMessage[] =
        "The setup program cannot be started: this Windows cannot check its signature. "
        "WinVerifyTrust (wintrust.dll, part of Internet Explorer 4 and later) is missing.";
    // No real setup comes near this; an endless stream stops here.
    static constexpr std::uint64_t kMaxSetupBytes = 1024ull * 1024 * 1024;

    InstallScript(RunSetupView& view, InstallFacts facts, InstallTransfer transfer);
    ~InstallScript();
    InstallScript(const InstallScript&) = delete;
    InstallScript& operator=(const InstallScript&) = delete;

    // The entry of the built-in command; returns once the download runs.
    // Without a temporary folder it tells the user and starts nothing.
    // Returns KeepsWindowOpen().
    bool RunInstallScript();
    // Once the download has begun the window stays open after the
    // commands: the download's completion or failure finishes the work.
    bool KeepsWindowOpen() const { return stages_.Reached(Stage::Downloading); }

    // The download's events and the stall ticker's second.
    void OnDownloadProgress(std::int64_t bytesRead, std::int64_t bytesExpected);
    // Any bytes that arrived, whether or not the total is known: a download
    // whose data flows never times out.
    void OnBytesReceived(std::int64_t bytesRead);
    // The file arrived whole: it is checked off the window thread (the
    // digest, the whole-program check, the signature), and started once the
    // check passed.
    void OnDownloadComplete();
    // True while the arrived file is being checked.
    bool Verifying() const { return verification_ && !verification_->Finished(); }
    // A download that failed on the network (no answer, another status) is
    // left to the time-out; one whose file failed its checks after it
    // arrived ends as a missing file does.
    void OnDownloadError();
    void OnTimerTick();
    // The window is closing: the download is cancelled and leaves no part of
    // itself behind, and an event that was already queued (a completion in
    // the last second) no longer acts.
    void Abandon();

    const std::string& SetupFilePath() const { return setupFilePath_; }
    // Who signed the last downloaded setup, or why it was refused.
    const SignerCheck& LastSignerCheck() const { return signerCheck_; }
    std::int16_t StallCounter() const { return stallCounter_; }

private:
    // The script's stages, one way only (see run_stages.h): a notice or a
    // second that comes in after the time-out or the close acts no more.
    enum class Stage { Ready, Downloading, Verifying, TimedOut, Abandoned };

    void StartSetupDownload();
    // The check of the arrived file has ended.
    void OnVerified(bool verified);
    // True when the verified setup was started.
    bool RunDownloadedSetup();
    void ShowProgress(std::int64_t max, std::int64_t value, const std::string& text);
    // The setup file did not come whole: the error text, the window stays.
    void FileMissing();
    void ShowDownloadFailed();

    RunSetupView& view_;
    InstallFacts facts_;
    InstallTransfer transfer_;
    SignerCheck signerCheck_;
    std::string setupFilePath_;
    std::shared_ptr<SetupFile> setupFile_;
    // Owns the check's thread; reset only before it finished (Abandon), since
    // its end runs from within it.
    std::unique_ptr<BackgroundJob> verification_;
    std::int16_t stallCounter_ = 1;
    std::int64_t lastBytesRead_ = 0;
    RepaintThrottle progressThrottle_;
    struct HeldProgress {
        std::int64_t max = 0, value = 0;
        std::string text;
    } heldProgress_;  // the latest change the throttle held back
    RunStages<Stage> stages_{Stage::Ready};
};
