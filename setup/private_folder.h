// A folder of this run's own inside the temporary folder: its name is made
// fresh and the folder is created new, so no other run or program can have
// chosen it or put anything in it first. On the NT family only the current
// user (reading), the Administrators and SYSTEM may use it.
#pragma once

#include <string>

// The new folder's path ending in "\", or empty when none could be made.
std::string CreatePrivateFolder(const std::string& parent);
