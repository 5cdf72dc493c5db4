// Run Setup: the commands of the settings keys Run, Run0, Run1, ... one after
// the other, the built-in install script, the closing message and the
// Internet shortcut.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <optional>

#include "checks/check_run.h"
#include "platform/owned.h"
#include "setup/run_setup_view.h"

// The click handler of picOK. Returns with the end of the program asked for,
// unless the install script's download keeps the window open:
// `runInstallScript` runs the built-in command and returns true for that.
// A settings stop or a command that cannot run ends it with one message.
void RunSetupCommands(RunSetupView& view, const CheckRun& run,
                      const std::function<bool()>& runInstallScript);

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
// Favorites folder nothing is written either. The description of the
// failure when the file cannot be written.
std::optional<std::string> CreateFavorite(RunSetupView& view, const SettingsFile& settings);
