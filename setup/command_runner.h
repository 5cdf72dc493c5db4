// Run Setup: the commands of the settings keys Run, Run0, Run1, ... one after
// the other, the built-in install script, the closing message and the
// Internet shortcut.
#pragma once

#include <cstdint>
#include <string>

#include "checks/check_run.h"
#include "platform/failure.h"
#include "platform/owned.h"
#include "platform/program_end.h"

// What the runner needs of the main window.
class CommandRunnerHost {
public:
    virtual ~CommandRunnerHost() = default;
    virtual void SetBusyPointer(bool busy) = 0;
    // True when the script's download keeps the window open: its completion
    // then finishes the work.
    virtual bool RunInstallScript() = 0;
    virtual void UnloadWindow() = 0;          // the main window's unload rule
    // Asks for the end of the program; the first request counts.
    virtual void RequestEnd(const ProgramEnd& end) = 0;
    virtual bool Ending() = 0;                // an end has been asked for
    virtual void ShowMessage(const std::string& text) = 0;
};

// A failure that ends the run with "Cannot Run Command: ".
class CommandError : public Failure {
public:
    using Failure::Failure;
};

// The click handler of picOK. Returns with the end of the program asked for,
// unless the install script's download keeps the window open.
void RunSetupCommands(CommandRunnerHost& host, const CheckRun& run);

bool IsUrlCommand(const std::string& command);

// A command started in a normal, focused window. The process handle is kept
// so that the wait cannot land on another process; empty when the command
// cannot start, and then `error` holds the system's error code.
// Only the program decided by LaunchOf starts; `refusal` says why a command
// that could mean more than one program did not.
struct StartedCommand {
    OwnedHandle process;
    unsigned long processId = 0;
    unsigned long error = 0;
    std::string refusal;
};
StartedCommand StartCommandLine(const std::string& command);

// Whether FavoriteName is a plain file name, one that keeps the shortcut in
// Favorites: no folder parts ("\", "/", ".."), no stream (":"), no device.
bool IsPlainShortcutName(const std::string& name);

// Writes the Internet shortcut of Favorite / FavoriteName into Favorites.
// A name that is not plain writes nothing and tells the user; without a
// Favorites folder nothing is written either. Throws CommandError when the
// file cannot be written.
void CreateFavorite(CommandRunnerHost& host, const SettingsFile& settings);
