// Run Setup: the commands of the settings keys Run, Run0, Run1, ... one after
// the other, the built-in install script, the closing message and the
// Internet shortcut.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// Set once the install script has started its download: the window stays
// open after the commands, and the download's completion finishes the work.
extern bool KeepWindowOpen;

// What the runner needs of the main window.
class CommandRunnerHost {
public:
    virtual ~CommandRunnerHost() = default;
    virtual bool ChecksPassed() = 0;          // picOK's tag is "pass"
    virtual void SetBusyPointer(bool busy) = 0;
    virtual void RunInstallScript() = 0;
    virtual void UnloadWindow() = 0;          // the main window's unload rule
    [[noreturn]] virtual void EndProgram() = 0;
    virtual void ShowMessage(const std::string& text) = 0;
};

// A failure that ends the run with "Cannot Run Command: ".
class CommandError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The click handler of picOK.
void RunSetupCommands(CommandRunnerHost& host);

bool IsUrlCommand(const std::string& command);

// Starts a command line in a normal, focused window; the new process's id.
// Throws CommandError with the system's description when it cannot start.
std::uint32_t StartCommandLine(const std::string& command);

// Writes the Internet shortcut of Favorite / FavoriteName into Favorites.
// Throws CommandError when the file cannot be written.
void CreateFavorite();

// The system's description of an error code, without a trailing line end.
std::string SystemErrorText(unsigned long code);
