// The start-up rename list of Windows 9x, WinInit.ini.
#pragma once

#include <optional>
#include <string>

// The new content of WinInit.ini that schedules `shortPath` for deletion,
// given the file's current content (empty when there is no file).
std::string WinInitWithDeletion(const std::optional<std::string>& current,
                                const std::string& shortPath);
