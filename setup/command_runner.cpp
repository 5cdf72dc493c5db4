#include "setup/command_runner.h"

#include <windows.h>

#include "checks/settings.h"
#include "platform/owned.h"
#include "platform/run_log.h"
#include "platform/system_error.h"
#include "platform/text_case.h"
#include "platform/whole_file.h"
#include "setup/file_manip.h"
#include "setup/special_folders.h"

namespace {

bool IsPlainFile(const std::string& path) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9 name devices, with any
// extension: "nul.url" writes nowhere.
bool IsDeviceName(const std::string& name) {
    std::string base = LowerCase(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    if (base == "con" || base == "prn" || base == "aux" || base == "nul") return true;
    return base.size() == 4 && (base.compare(0, 3, "com") == 0 || base.compare(0, 3, "lpt") == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

}  // namespace

bool IsUrlCommand(const std::string& command) {
    std::string lower = LowerCase(command);
    return lower.find("https://") != std::string::npos || lower.find("http://") != std::string::npos;
}

CommandLaunch LaunchOf(const std::string& command,
                       const std::function<bool(const std::string&)>& isFile) {
    bool isPath = command.find_first_of("\\/:") != std::string::npos;
    if (isPath && command.find('"') == std::string::npos && isFile(command))
        return CommandLaunch{command, "\"" + command + "\""};
    return CommandLaunch{std::string(), command};
}

OwnedHandle StartCommandLine(const std::string& command, unsigned long* error) {
    CommandLaunch launch = LaunchOf(command, IsPlainFile);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    std::string line = launch.commandLine;  // CreateProcessA may write into the command line
    if (!::CreateProcessA(launch.program.empty() ? nullptr : launch.program.c_str(), line.data(),
                          nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        DWORD code = ::GetLastError();
        if (error) *error = code;
        LogLine({"Command could not start: ", command, " (error ", std::to_string(code), ")"});
        return OwnedHandle();
    }
    LogLine({"Command started: ", command});
    OwnedHandle thread(process.hThread);
    return OwnedHandle(process.hProcess);
}

bool IsPlainShortcutName(const std::string& name) {
    if (name.find_first_of("\\/:") != std::string::npos) return false;
    if (name.find("..") != std::string::npos) return false;
    return !IsDeviceName(name);
}

void CreateFavorite(CommandRunnerHost& host, const SettingsFile& settings) {
    std::string name = settings.ReadRequirement("FavoriteName");
    if (!IsPlainShortcutName(name)) {
        host.ShowMessage("The shortcut name \"" + name +
                         "\" is not a plain file name, so no shortcut was written.");
        return;
    }
    // Without a Favorites folder the shortcut would land in the current
    // folder; the folder lookup has told the user why it found none.
    std::string folder = FavoritesFolder([&](const std::string& why) { host.ShowMessage(why); });
    if (folder.empty()) return;
    std::string path = folder + (name.empty() ? "tavrin" : name) + ".url";
    std::string shortcut =
        "[InternetShortcut]\r\nURL=" + settings.ReadRequirement("Favorite") + "\r\n";
    if (!WriteWholeFile(path, shortcut)) {
        DWORD error = ::GetLastError();
        throw CommandError(SystemErrorText(error != 0 ? error : ERROR_WRITE_FAULT) + " (" + path +
                           ")");
    }
}

void RunSetupCommands(CommandRunnerHost& host, const CheckRun& run) {
    const SettingsFile& settings = run.settings;
    std::string command;
    bool keepWindowOpen = false;
    try {
        command = settings.ReadRequirement("Run");
        if (!run.Passed()) {
            host.UnloadWindow();
            host.RequestEnd({kExitNoVerdict, EndReason::SetupDone});
            return;
        }
        if (command == "installtavrinsecure") {
            host.SetBusyPointer(true);
            keepWindowOpen = host.RunInstallScript();
            host.SetBusyPointer(false);
        } else {
            std::string previous;
            int index = 0;
            for (bool goingOn = true; goingOn;) {
                if (!command.empty()) {
                    if (IsUrlCommand(command)) {
                        // Started and left running; a line the system cannot start ends the run.
                        unsigned long error = 0;
                        if (!StartCommandLine(command, &error))
                            throw CommandError(SystemErrorText(error));
                    } else if (OwnedHandle process = StartCommandLine(command); !process) {
                        host.ShowMessage("Error Running: " + command);
                    } else {
                        std::uint32_t exitCode = WaitForProcessExit(process.get());
                        LogLine({"Command ended: ", command, ", exit code ",
                                 std::to_string(exitCode)});
                        // The window closed during the wait: nothing more runs.
                        if (host.Ending()) return;
                    }
                }
                // Two empty values in a row end the list.
                if (command.empty() && previous.empty()) goingOn = false;
                previous = command;
                command = settings.ReadRequirement("Run" + std::to_string(index));
                ++index;
            }
        }
        std::string message = settings.ReadRequirement("Msg");
        if (!message.empty()) host.ShowMessage(message);
        if (!settings.ReadRequirement("Favorite").empty()) CreateFavorite(host, settings);
    } catch (const SettingsStop& stop) {
        // A value too long to read whole is never run cut.
        host.ShowMessage(stop.what());
        host.RequestEnd({kExitNoVerdict, EndReason::SettingsStop});
        return;
    } catch (const std::exception& error) {
        host.ShowMessage("Cannot Run Command: " + command + "\r\n" + error.what());
        host.RequestEnd({kExitNoVerdict, EndReason::CommandError});
        return;
    }
    if (keepWindowOpen) return;
    host.UnloadWindow();
    host.RequestEnd({kExitNoVerdict, EndReason::SetupDone});
}
