// Shell special folders (module mdlSpecialFolders).
#pragma once

#include <functional>
#include <string>

// Tells the user why a folder could not be found.
using FolderProblemReport = std::function<void(const std::string& description)>;

// The folder of a CSIDL number, ending in exactly one "\". When the shell
// cannot name it (or names it only in a form the ANSI file calls cannot
// use) the result is empty and `report` gets the reason.
std::string SpecialFolderPath(int csidl, const FolderProblemReport& report);
std::string FavoritesFolder(const FolderProblemReport& report);
