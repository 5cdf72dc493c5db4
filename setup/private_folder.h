// A folder of this run's own inside the temporary folder: its name is made
// fresh and the folder is created new, so no other run or program can have
// chosen it or put anything in it first. On the NT family only the current
// user (reading), the Administrators and SYSTEM may use it.
#pragma once

#include <string>

#include "platform/owned.h"

// On the NT family the folder is owned by the Administrators, and `lock`
// holds it open from its creation on, refusing delete sharing: nobody can
// rename it away and put a folder of their own in its place while the
// download and the start run. Release the lock before removing the folder.
struct PrivateFolder {
    std::string path;  // ending in "\"; empty when none could be made
    OwnedHandle lock;  // empty on Windows 9x, which cannot open a folder
};

PrivateFolder CreatePrivateFolder(const std::string& parent);

// Removes what earlier runs left in `parent` and no longer use: on the NT
// family, each "TSCheck-" folder that is a plain folder owned by the
// Administrators (which nothing running as the user can make or rename),
// with the plain files in it. A file in use, a link, and anything else stay.
void RemoveEarlierPrivateFolders(const std::string& parent);
