#include "app/program_wiring.h"

#include <windows.h>

#include "app/clock_measurement.h"
#include "app/frm_ts_check.h"
#include "app/start_up_engine.h"
#include "platform/ansi_paths.h"
#include "platform/run_log.h"
#include "platform/system_error.h"
#include "setup/private_folder.h"
#include "setup/run_setup_engine.h"
#include "setup/setup_pins.h"
#include "setup/setup_start.h"
#include "skin/message_box.h"
#include "system_helpers/file_manip.h"
#include "system_helpers/registry.h"

namespace {

// The directory of the running executable, ending in "\"; empty when the
// executable has no path the ANSI file calls can use.
std::string ModuleDirectory() {
    std::string full = ExecutablePath();
    std::size_t slash = full.find_last_of('\\');
    if (slash == std::string::npos) return {};
    return full.substr(0, slash + 1);
}

// The engine of Run Setup, with this computer's facts.
std::unique_ptr<RunSetupEngine> MakeRunSetupEngine(RunSetupView& view, const CheckRun& run) {
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
    return std::make_unique<RunSetupEngine>(view, run, std::move(facts));
}

StartUpFacts FactsOfThisComputer(ProgramArguments arguments, std::string logPath,
                                 RunSetupView& setupView) {
    StartUpFacts facts;
    facts.system = &RealSystem();
    facts.commandLine = ::GetCommandLineA();
    facts.arguments = std::move(arguments);
    facts.logPath = std::move(logPath);
    facts.programFolder = ModuleDirectory();
    facts.relaunchElevated = [](const std::string& parameters) {
        return ShellRun(ExecutablePath(), true, parameters, SW_SHOWNORMAL);
    };
    facts.measureClock = MeasureProcessorClock;
    facts.programFilesFolder = ProgramFilesFolder;
    facts.makeRunSetup = [&setupView](const CheckRun& run) {
        return MakeRunSetupEngine(setupView, run);
    };
    return facts;
}

// Takes the window off the engine before the engine goes, so that the
// window's last messages (its destruction) find no engine to call.
class Connection {
public:
    Connection(frmTSCheck& form, StartUpEngine& engine) : form_(form) { form_.Connect(&engine); }
    ~Connection() { form_.Connect(nullptr); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

private:
    frmTSCheck& form_;
};

}  // namespace

std::uint32_t RunProgram(ProgramArguments arguments, std::string logPath) {
    if (arguments.quietCheck) KeepMessagesQuiet();
    frmTSCheck form;
    StartUpEngine engine(form, FactsOfThisComputer(std::move(arguments), std::move(logPath), form));
    Connection connection(form, engine);
    engine.Run();
    form.Show();
    // WM_QUIT carries the exit code of every end of the program, early or
    // with the verdict.
    MSG msg{};
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return static_cast<std::uint32_t>(msg.wParam);
}
