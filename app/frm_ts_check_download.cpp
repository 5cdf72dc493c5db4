// The main window's part in the setup download: the progress bar, the
// download control, the time-out timer and what the install script asks.
#include <limits>

#include "app/frm_ts_check.h"
#include "controls/property_store.h"
#include "platform/run_log.h"
#include "setup/file_manip.h"
#include "setup/private_folder.h"
#include "setup/setup_pins.h"

namespace {

// The bar and the progress texts take 32-bit counts.
std::int32_t Clamp32(std::int64_t value) {
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return value < 0 ? 0 : static_cast<std::int32_t>(value);
}

std::string Seconds(DWORD milliseconds) {
    return std::to_string(milliseconds / 1000) + "." + std::to_string(milliseconds % 1000 / 100) +
           " s";
}

}  // namespace

void frmTSCheck::CreateDownloadControls() {
    PropertyBag stored;
    stored.SetLong("Color", MakeColour(94, 129, 188)).SetBoolean("ShowText", true);
    prgDownload.Create(hwnd_, 33, 345, 521, 25, &stored, false);

    dlFile.OnDownloadProgress = [this](std::int64_t read, std::int64_t expected,
                                       const std::string&) {
        downloadExpected_ = expected;
        if (install_) install_->OnDownloadProgress(Clamp32(read), Clamp32(expected));
    };
    dlFile.OnBytesReceived = [this](std::int64_t read, const std::string&) {
        downloadRead_ = read;
        if (install_) install_->OnBytesReceived(read);
    };
    dlFile.OnDownloadComplete = [this](std::int64_t, const std::string&) {
        LogDownloadEnd(true);
        if (install_) install_->OnDownloadComplete();
    };
    dlFile.OnDownloadError = [this](const std::string&) {
        LogDownloadEnd(false);
        if (install_) install_->OnDownloadError();
    };
}

bool frmTSCheck::RunInstallScript() {
    SetupPins pins = BuiltInSetupPins();
    install_ = std::make_unique<InstallScript>(*this, TempFolder(), SetupDownloadUrl(), pins.sha256,
                                               pins.signer);
    return install_->RunInstallScript();
}

void frmTSCheck::tmrTimeout_Timer() {
    // A change the throttle held back, drawn before the second's other work.
    if (progressThrottle_.TakeHeld())
        SetProgress(heldProgress_.max, heldProgress_.value, heldProgress_.text);
    if (install_) install_->OnTimerTick();
}

void frmTSCheck::DrawStatus(const std::string& text, std::uint32_t colour, bool clearFirst,
                            bool bold) {
    DrawTextLines(*printTarget_, text, kMessageLeft, kMessageTop, static_cast<COLORREF>(colour),
                  clearFirst, bold);
}

void frmTSCheck::RedrawResults() { ShowResults(run_.rows, *this); }

void frmTSCheck::EnableTimeoutTimer(bool enabled) {
    if (enabled == timerEnabled_ || !hwnd_) return;
    timerEnabled_ = enabled;
    if (enabled) ::SetTimer(hwnd_, kTimeoutTimerId, 1000, nullptr);
    else ::KillTimer(hwnd_, kTimeoutTimerId);
}

void frmTSCheck::SetProgress(std::int32_t max, std::int32_t value, const std::string& text) {
    // Repainting the bar for every block that arrives would cost more than
    // the download; the eye needs no more than about 30 pictures a second.
    if (!progressThrottle_.Due(::GetTickCount(), value >= max)) {
        heldProgress_ = HeldProgress{max, value, text};
        return;
    }
    prgDownload.SetMax(max);
    prgDownload.SetValue(value);
    prgDownload.SetText(text);
}

void frmTSCheck::BeginDownload(const std::string& url, std::shared_ptr<DownloadTarget> target,
                               const std::string& saveFile) {
    LogLine({"Download: ", url, " into ", saveFile});
    downloadStart_ = ::GetTickCount();
    downloadRead_ = downloadExpected_ = 0;
    dlFile.BeginDownload(url, std::move(target), saveFile);
}

void frmTSCheck::LogDownloadEnd(bool whole) {
    LogLine({whole ? "Download complete: " : "Download failed: ", std::to_string(downloadRead_),
             " of ", downloadExpected_ > 0 ? std::to_string(downloadExpected_) : "unknown",
             " bytes, ", Seconds(::GetTickCount() - downloadStart_)});
}

void frmTSCheck::StartProgram(const std::string& path, bool elevate, const std::string& folder) {
    SystemResult started = ShellRun(path, elevate, "", SW_SHOWNORMAL, folder);
    LogLine({started ? "Setup started: " : "Setup could not start: ", path});
}

PrivateFolder frmTSCheck::MakePrivateFolder(const std::string& parent) {
    return CreatePrivateFolder(parent);
}

int frmTSCheck::CurrentOsCode() { return run_.osCode; }
