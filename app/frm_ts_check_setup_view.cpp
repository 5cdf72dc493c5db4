// The main window as the view of Run Setup: the status line, the progress
// bar and the facts of this computer that the engine is made with.
#include <limits>

#include "app/frm_ts_check.h"
#include "controls/property_store.h"
#include "platform/run_log.h"
#include "platform/system_error.h"
#include "setup/file_manip.h"
#include "setup/private_folder.h"
#include "setup/setup_pins.h"
#include "setup/setup_start.h"

namespace {

// The bar counts in 32 bits; larger byte counts stop at its end.
std::int32_t ClampToBar(std::int64_t value) {
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return value < 0 ? 0 : static_cast<std::int32_t>(value);
}

}  // namespace

std::unique_ptr<RunSetupEngine> frmTSCheck::MakeRunSetupEngine() {
    SetupPins pins = BuiltInSetupPins();
    InstallFacts install;
    install.tempFolder = SetupStagingRoot(RealSystem());
    install.startProgram = [](const std::string& path, const std::string& folder,
                              HANDLE verifiedFile) {
        SystemResult started = StartVerifiedSetup(path, folder, verifiedFile);
        if (!started)
            LogLine({"The setup did not start: ", SystemErrorText(started.error)});
        return static_cast<bool>(started);
    };
    install.makePrivateFolder = [](const std::string& parent) {
        RemoveEarlierPrivateFolders(parent);
        return CreatePrivateFolder(parent);
    };
    install.url = SetupDownloadUrl();
    install.pinnedSha256 = pins.sha256;
    install.pinnedSigner = pins.signer;
    install.pinnedSignerKey = pins.signerKey;
    // Null: the system's, bound when the first setup is checked, so that
    // the click hides the button at once instead of loading wintrust.dll.
    install.signatures = nullptr;
    RunSetupFacts facts;
    facts.install = std::move(install);
    facts.network = WinInet();
    facts.downloadStartError = ShowSystemMessage;
    facts.stallTickMs = 1000;
    return std::make_unique<RunSetupEngine>(*this, run_, std::move(facts));
}

void frmTSCheck::CreateProgressBar() {
    PropertyBag stored;
    stored.SetLong("Color", MakeColour(94, 129, 188)).SetBoolean("ShowText", true);
    prgDownload.Create(hwnd_, kProgressBarBox.left, kProgressBarBox.top, kProgressBarBox.width,
                       kProgressBarBox.height, &stored, false);
}

void frmTSCheck::ShowStatus(const std::string& text, StatusStyle style) {
    bool error = style == StatusStyle::Error;
    DrawTextLines(*printTarget_, text, kMessageLeft, kMessageTop,
                  error ? kErrorColour : kStatusColour, true, error);
}

void frmTSCheck::RedrawResults() { ShowResults(run_.rows, *this); }

void frmTSCheck::SetProgress(std::int64_t max, std::int64_t value, const std::string& text) {
    prgDownload.SetMax(ClampToBar(max));
    prgDownload.SetValue(ClampToBar(value));
    prgDownload.SetText(text);
}
