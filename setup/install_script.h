// The built-in command "installtavrinsecure": download the Tavrin Secure setup
// program into the temporary folder with progress and a stall time-out, start
// it, and end the program.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "controls/download_target.h"
#include "controls/main_window_layout.h"
#include "setup/private_folder.h"
#include "setup/setup_signature.h"

class SetupFile;

// The download source: the provider's server and the fixed path.
std::string SetupDownloadUrl();

// What the script needs of the main window and its controls.
class InstallHost {
public:
    virtual ~InstallHost() = default;
    virtual void HideRunButton() = 0;
    // DrawTextLines at kMessageLeft, kMessageTop on the main window.
    virtual void DrawStatus(const std::string& text, std::uint32_t colour, bool clearFirst,
                            bool bold) = 0;
    virtual void RedrawResults() = 0;
    virtual void EnableTimeoutTimer(bool enabled) = 0;
    virtual void ShowProgressBar(bool visible) = 0;
    virtual void SetProgress(std::int32_t max, std::int32_t value, const std::string& text) = 0;
    virtual void BeginDownload(const std::string& url, std::shared_ptr<DownloadTarget> target,
                               const std::string& saveFile) = 0;
    virtual void CancelAllDownload() = 0;
    virtual void UnloadWindow() = 0;
    virtual void ShowMessage(const std::string& text) = 0;
    // Hands the downloaded program to the shell ("runas" when elevate), to
    // run in `folder`.
    virtual void StartProgram(const std::string& path, bool elevate, const std::string& folder) = 0;
    // A new folder of this run's own inside `parent` (see CreatePrivateFolder).
    virtual PrivateFolder MakePrivateFolder(const std::string& parent) = 0;
    virtual int CurrentOsCode() = 0;
};

class InstallScript {
public:
    static constexpr std::int16_t kTimeoutTicks = 20;
    static constexpr char kNoTempFolderMessage[] =
        "The setup file cannot be downloaded: no temporary folder was found.";
    static constexpr char kCannotVerifyMessage[] =
        "The setup program cannot be started: this Windows cannot check its signature. "
        "WinVerifyTrust (wintrust.dll, part of Internet Explorer 4 and later) is missing.";
    // No real setup comes near this; an endless stream stops here.
    static constexpr std::uint64_t kMaxSetupBytes = 1024ull * 1024 * 1024;

    // `pinnedSha256`: the SHA-256 the setup must have (64 hexadecimal
    // digits), or empty to take any whole program. `pinnedSigner`: the
    // SHA-256 of the certificate that must have signed it, or empty (see
    // SetupFile). `signatures` null: the system's functions.
    InstallScript(InstallHost& host, std::string tempFolder, std::string url,
                  std::string pinnedSha256, std::string pinnedSigner = std::string(),
                  const SignatureApi* signatures = nullptr);
    ~InstallScript();

    // The entry of the built-in command; returns once the download runs.
    // Without a temporary folder it tells the user and starts nothing.
    // Returns KeepsWindowOpen().
    bool RunInstallScript();
    // Once the download has begun the window stays open after the
    // commands: the download's completion or failure finishes the work.
    bool KeepsWindowOpen() const { return keepsWindowOpen_; }
    void StartSetupDownload();
    bool RunDownloadedSetup();

    // The download control's events and the time-out timer's tick.
    void OnDownloadProgress(std::int32_t bytesRead, std::int32_t bytesExpected);
    // Any bytes that arrived, whether or not the total is known: a download
    // whose data flows never times out.
    void OnBytesReceived(std::int64_t bytesRead);
    void OnDownloadComplete();
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
    // The setup file did not come whole: the error text, the window stays.
    void FileMissing();
    void ShowDownloadFailed();

    InstallHost& host_;
    std::string tempFolder_;
    std::string url_;
    std::string pinnedSha256_;
    std::string pinnedSigner_;
    const SignatureApi* signatures_;
    SignerCheck signerCheck_;
    std::string setupFilePath_;
    std::shared_ptr<SetupFile> setupFile_;
    std::int16_t stallCounter_ = 1;
    double lastBytesRead_ = 0;
    bool abandoned_ = false;
    bool timedOut_ = false;  // the download was cancelled for good
    bool keepsWindowOpen_ = false;
};
