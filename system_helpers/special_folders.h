// Shell special folders (module mdlSpecialFolders).
#pragma once

#include <string>

// The folder of a CSIDL number, ending in exactly one "\". Empty, and
// nothing said, when the shell cannot name it (or names it only in a form
// the ANSI file calls cannot use): the callers then write nothing.
std::string SpecialFolderPath(int csidl);
std::string FavoritesFolder();
