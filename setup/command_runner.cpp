#include "setup/command_runner.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

#include "checks/settings.h"
#include "platform/owned.h"
#include "platform/whole_file.h"
#include "setup/file_manip.h"
#include "setup/special_folders.h"

bool KeepWindowOpen = false;

std::string SystemErrorText(unsigned long code) {
    char* buffer = nullptr;
    DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    std::string text = length ? std::string(buffer, length) : "Error " + std::to_string(code);
    if (buffer) ::LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text;
}

bool IsUrlCommand(const std::string& command) {
    std::string lower = command;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.find("https://") != std::string::npos || lower.find("http://") != std::string::npos;
}

std::uint32_t StartCommandLine(const std::string& command) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    std::string line = command;  // CreateProcessA may write into the command line
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        throw CommandError(SystemErrorText(::GetLastError()));
    OwnedHandle thread(process.hThread);
    OwnedHandle handle(process.hProcess);
    return process.dwProcessId;
}

void CreateFavorite() {
    std::string name = ReadRequirement("FavoriteName");
    std::string path = FavoritesFolder() + (name.empty() ? "tavrin" : name) + ".url";
    std::string shortcut = "[InternetShortcut]\r\nURL=" + ReadRequirement("Favorite") + "\r\n";
    if (!WriteWholeFile(path, shortcut)) {
        DWORD error = ::GetLastError();
        throw CommandError(SystemErrorText(error != 0 ? error : ERROR_WRITE_FAULT) + " (" + path +
                           ")");
    }
}

void RunSetupCommands(CommandRunnerHost& host) {
    std::string command;
    try {
        command = ReadRequirement("Run");
        if (!host.ChecksPassed()) {
            host.UnloadWindow();
            host.EndProgram();
        }
        if (command == "installtavrinsecure") {
            host.SetBusyPointer(true);
            host.RunInstallScript();
            host.SetBusyPointer(false);
        } else {
            std::string previous;
            int index = 0;
            for (bool goingOn = true; goingOn;) {
                if (!command.empty()) {
                    if (IsUrlCommand(command)) {
                        StartCommandLine(command);
                    } else if (std::uint32_t id = StartCommandLine(command); id == 0) {
                        host.ShowMessage("Error Running: " + command);
                    } else {
                        WaitForProcessExit(id);
                    }
                }
                // Two empty values in a row end the list.
                if (command.empty() && previous.empty()) goingOn = false;
                previous = command;
                command = ReadRequirement("Run" + std::to_string(index));
                ++index;
            }
        }
        std::string message = ReadRequirement("Msg");
        if (!message.empty()) host.ShowMessage(message);
        if (!ReadRequirement("Favorite").empty()) CreateFavorite();
    } catch (const std::exception& error) {
        host.ShowMessage("Cannot Run Command: " + command + "\r\n" + error.what());
        host.EndProgram();
    }
    if (KeepWindowOpen) return;
    host.UnloadWindow();
    host.EndProgram();
}
