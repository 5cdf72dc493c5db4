#include "setup/command_runner.h"

#include <windows.h>

#include "checks/settings.h"
#include "platform/owned.h"
#include "platform/run_log.h"
#include "platform/system_error.h"
#include "platform/text_case.h"
#include "platform/unlinked_file.h"
#include "platform/whole_file.h"
#include "setup/command_launch.h"
#include "platform/device_names.h"
#include "platform/file_owner.h"
#include "system_helpers/file_manip.h"
#include "system_helpers/special_folders.h"

bool IsUrlCommand(const std::string& command) {
    std::string lower = LowerCase(command);
    return lower.find("https://") != std::string::npos || lower.find("http://") != std::string::npos;
}

StartedCommand StartCommandLine(const std::string& command) {
    StartedCommand started;
    CommandLaunch launch = LaunchOf(command, FindProgram);
    if (!launch.found()) {
        started.refusal = launch.refusal;
        started.error = ERROR_FILE_NOT_FOUND;
        return started;
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    std::string line = launch.commandLine;  // CreateProcessA may write into the command line
    if (!::CreateProcessA(launch.program.c_str(), line.data(),
                          nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        started.error = ::GetLastError();
        LogLine({"Command could not start: ", command, " (error ",
                 std::to_string(started.error), ")"});
        return started;
    }
    LogLine({"Command started: ", command});
    OwnedHandle thread(process.hThread);
    started.process.reset(process.hProcess);
    started.processId = process.dwProcessId;
    return started;
}

namespace {

bool WritableForTheUser(const std::string& folder) {
    // The user's registry says where Favorites is. An elevated run writes
    // the shortcut only into a plain folder of the user's own, never into
    // one that only administrators may change.
    if ((::GetVersion() & 0x80000000u) != 0 || !ProcessIsElevated()) return true;
    OwnedHandle held =
        OpenUnlinkedFolder(folder, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    return held && OwnedByProcessUser(held.get());
}

}  // namespace

bool IsPlainShortcutName(const std::string& name) {
    if (name.find_first_of("\\/:") != std::string::npos) return false;
    if (name.find("..") != std::string::npos) return false;
    return !IsDeviceName(name);
}

std::optional<std::string> CreateFavorite(RunSetupView& view, const SettingsFile& settings) {
    std::string name = settings.ReadRequirement("FavoriteName");
    if (!IsPlainShortcutName(name)) {
        view.ShowMessage("The shortcut name \"" + name +
                         "\" is not a plain file name, so no shortcut was written.");
        return std::nullopt;
    }
    // Without a Favorites folder the shortcut would land in the current
    // folder: then there is no shortcut.
    std::string folder = FavoritesFolder();
    if (folder.empty() || !WritableForTheUser(folder)) return std::nullopt;
    std::string path = folder + (name.empty() ? "tavrin" : name) + ".url";
    std::string shortcut =
        "[InternetShortcut]\r\nURL=" + settings.ReadRequirement("Favorite") + "\r\n";
    // Favorites belongs to the user: an existing shortcut is replaced only
    // when it is a plain file, never through a link to another file.
    OwnedHandle file = CreateNewFile(path, GENERIC_WRITE, 0);
    bool refused = false;
    if (!file && ::GetLastError() == ERROR_FILE_EXISTS)
        file = OpenUnlinkedFile(path, GENERIC_WRITE, 0, &refused);
    if (refused)
        return "The shortcut " + path + " is a link to another file, so it was not replaced.";
    if (!file) {
        DWORD error = ::GetLastError();
        return SystemErrorText(error != 0 ? error : ERROR_WRITE_FAULT) + " (" + path + ")";
    }
    if (SystemResult written = ReplaceContent(file.get(), shortcut); !written)
        return SystemErrorText(written.error) + " (" + path + ")";
    return std::nullopt;
}

namespace {

// How a run of the commands ended.
enum class RunEnd {
    Done,            // the window unloads with the verdict
    KeepWindowOpen,  // the install script's download finishes the work
    WindowClosed,    // during a wait or a box: nothing more runs
    Stopped,         // one message, then the end (see CommandRun::Stop)
};

// One run of the settings' commands. `command_` is always the value read
// last: the text a failure names.
class CommandRun {
public:
    CommandRun(RunSetupView& view, const SettingsFile& settings)
        : view_(view), settings_(settings) {}

    RunEnd Run(const std::function<bool()>& runInstallScript);
    // After RunEnd::Stopped: the message and why the program ends.
    const std::string& StopMessage() const { return stopMessage_; }
    EndReason StopReason() const { return stopReason_; }

private:
    RunEnd RunList();
    // Reads the command of `key`; false when its value stops the run.
    bool Read(const std::string& key);
    RunEnd Start();
    RunEnd Stop(std::string message, EndReason reason) {
        stopMessage_ = std::move(message);
        stopReason_ = reason;
        return RunEnd::Stopped;
    }
    RunEnd CannotRun(const std::string& description) {
        return Stop("Cannot Run Command: " + command_ + "\r\n" + description,
                    EndReason::CommandError);
    }

    RunSetupView& view_;
    const SettingsFile& settings_;
    std::string command_;
    std::string stopMessage_;
    EndReason stopReason_ = EndReason::SetupDone;
};

bool CommandRun::Read(const std::string& key) {
    CommandSetting read = settings_.ReadCommand(key);
    // A value too long to read whole is never run cut.
    if (read.stop) {
        Stop(read.stop->message, EndReason::SettingsStop);
        return false;
    }
    command_ = RestoreStrippedQuotes(read.command);
    return true;
}

RunEnd CommandRun::Start() {
    // A line the system cannot start ends the run.
    StartedCommand started = StartCommandLine(command_);
    if (!started.process)
        return CannotRun(started.refusal.empty() ? SystemErrorText(started.error)
                                                 : started.refusal);
    if (IsUrlCommand(command_)) {
        // Started and left running.
    } else if (started.processId == 0) {
        view_.ShowMessage("Error Running: " + command_);
    } else {
        std::uint32_t exitCode = WaitForProcessExit(started.process.get());
        LogLine({"Command ended: ", command_, ", exit code ", std::to_string(exitCode)});
    }
    // The window closed during the wait or the box: nothing more runs,
    // whatever the settings file still says.
    return view_.Ending() ? RunEnd::WindowClosed : RunEnd::Done;
}

RunEnd CommandRun::RunList() {
    std::string previous;
    for (int index = 0;; ++index) {
        if (!command_.empty()) {
            if (RunEnd end = Start(); end != RunEnd::Done) return end;
        }
        std::string key = "Run" + std::to_string(index);
        // Two empty values in a row end the list. The key after them is
        // still read, as the list always has, but never run, so its length
        // stops nothing.
        if (command_.empty() && previous.empty()) {
            command_ = settings_.ReadRequirement(key);
            return RunEnd::Done;
        }
        previous = command_;
        if (!Read(key)) return RunEnd::Stopped;
    }
}

RunEnd CommandRun::Run(const std::function<bool()>& runInstallScript) {
    if (!Read("Run")) return RunEnd::Stopped;
    bool keepWindowOpen = false;
    if (command_ == "installtavrinsecure") {
        view_.SetBusyPointer(true);
        keepWindowOpen = runInstallScript();
        view_.SetBusyPointer(false);
    } else if (RunEnd end = RunList(); end != RunEnd::Done) {
        return end;
    }
    std::string message = settings_.ReadRequirement("Msg");
    if (!message.empty()) view_.ShowMessage(message);
    if (view_.Ending()) return RunEnd::WindowClosed;
    if (!settings_.ReadRequirement("Favorite").empty()) {
        if (std::optional<std::string> failure = CreateFavorite(view_, settings_))
            return CannotRun(*failure);
    }
    return keepWindowOpen ? RunEnd::KeepWindowOpen : RunEnd::Done;
}

}  // namespace

void RunSetupCommands(RunSetupView& view, const CheckRun& run,
                      const std::function<bool()>& runInstallScript) {
    // After a failed check nothing runs, so nothing in Run can stop the
    // unload with the verdict.
    if (run.Passed()) {
        CommandRun commands(view, run.settings);
        switch (commands.Run(runInstallScript)) {
            case RunEnd::Stopped:
                view.ShowMessage(commands.StopMessage());
                view.RequestEnd({kExitNoVerdict, commands.StopReason()});
                return;
            case RunEnd::KeepWindowOpen:
            case RunEnd::WindowClosed:
                return;
            case RunEnd::Done:
                break;
        }
    }
    view.UnloadWindow();
    view.RequestEnd({kExitNoVerdict, EndReason::SetupDone});
}
