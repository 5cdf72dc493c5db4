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
#include "setup/file_manip.h"
#include "setup/special_folders.h"

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

void CreateFavorite(RunSetupView& view, const SettingsFile& settings) {
    std::string name = settings.ReadRequirement("FavoriteName");
    if (!IsPlainShortcutName(name)) {
        view.ShowMessage("The shortcut name \"" + name +
                         "\" is not a plain file name, so no shortcut was written.");
        return;
    }
    // Without a Favorites folder the shortcut would land in the current
    // folder: then there is no shortcut.
    std::string folder = FavoritesFolder();
    if (folder.empty() || !WritableForTheUser(folder)) return;
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
        throw CommandError("The shortcut " + path +
                           " is a link to another file, so it was not replaced.");
    if (!file) {
        DWORD error = ::GetLastError();
        throw CommandError(SystemErrorText(error != 0 ? error : ERROR_WRITE_FAULT) + " (" + path +
                           ")");
    }
    if (SystemResult written = ReplaceContent(file.get(), shortcut); !written)
        throw CommandError(SystemErrorText(written.error) + " (" + path + ")");
}

void RunSetupCommands(RunSetupView& view, const CheckRun& run,
                      const std::function<bool()>& runInstallScript) {
    const SettingsFile& settings = run.settings;
    std::string command;
    bool keepWindowOpen = false;
    try {
        // After a failed check nothing runs, so nothing in Run can stop the
        // unload with the verdict.
        if (!run.Passed()) {
            view.UnloadWindow();
            view.RequestEnd({kExitNoVerdict, EndReason::SetupDone});
            return;
        }
        command = RestoreStrippedQuotes(settings.ReadCommand("Run"));
        if (command == "installtavrinsecure") {
            view.SetBusyPointer(true);
            keepWindowOpen = runInstallScript();
            view.SetBusyPointer(false);
        } else {
            std::string previous;
            int index = 0;
            for (bool goingOn = true; goingOn;) {
                if (!command.empty()) {
                    // A line the system cannot start ends the run.
                    StartedCommand started = StartCommandLine(command);
                    if (!started.process)
                        throw CommandError(started.refusal.empty() ? SystemErrorText(started.error)
                                                                   : started.refusal);
                    if (IsUrlCommand(command)) {
                        // Started and left running.
                    } else if (started.processId == 0) {
                        view.ShowMessage("Error Running: " + command);
                    } else {
                        std::uint32_t exitCode = WaitForProcessExit(started.process.get());
                        LogLine({"Command ended: ", command, ", exit code ",
                                 std::to_string(exitCode)});
                    }
                    // The window closed during the wait or the box: nothing
                    // more runs, whatever the settings file still says.
                    if (view.Ending()) return;
                }
                // Two empty values in a row end the list. The key after them
                // is still read, as the list always has, but never run, so
                // its length stops nothing.
                if (command.empty() && previous.empty()) goingOn = false;
                previous = command;
                std::string key = "Run" + std::to_string(index);
                command = goingOn ? RestoreStrippedQuotes(settings.ReadCommand(key))
                                  : settings.ReadRequirement(key);
                ++index;
            }
        }
        std::string message = settings.ReadRequirement("Msg");
        if (!message.empty()) view.ShowMessage(message);
        if (view.Ending()) return;
        if (!settings.ReadRequirement("Favorite").empty()) CreateFavorite(view, settings);
    } catch (const SettingsStop& stop) {
        // A value too long to read whole is never run cut.
        view.ShowMessage(stop.what());
        view.RequestEnd({kExitNoVerdict, EndReason::SettingsStop});
        return;
    } catch (const CommandError& error) {
        view.ShowMessage("Cannot Run Command: " + command + "\r\n" + error.what());
        view.RequestEnd({kExitNoVerdict, EndReason::CommandError});
        return;
    }
    if (keepWindowOpen) return;
    view.UnloadWindow();
    view.RequestEnd({kExitNoVerdict, EndReason::SetupDone});
}
